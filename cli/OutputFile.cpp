#include "OutputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemReason() {
    return std::strerror(errno);
}

std::string writeAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t count = ::write(fd, contents.data(), contents.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return systemReason();
        contents.remove_prefix(static_cast<std::size_t>(count));
    }
    return {};
}

// A new file gets the permissions the user's umask allows, as with `>`.
std::string giveUsualPermissions(int fd) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return ::fchmod(fd, 0666 & ~mask) == 0 ? std::string{} : systemReason();
}

std::string fillAndClose(int fd, std::string_view contents) {
    std::string reason = giveUsualPermissions(fd);
    if (reason.empty())
        reason = writeAll(fd, contents);
    if (reason.empty() && ::fsync(fd) != 0)
        reason = systemReason();
    if (::close(fd) != 0 && reason.empty())
        reason = systemReason();
    return reason;
}

} // namespace

std::string writeFileSafely(const std::string& path, std::string_view contents) {
    const std::filesystem::path target(path);
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return systemReason();
    std::string reason = fillAndClose(fd, contents);
    if (reason.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
        reason = systemReason();
    if (!reason.empty())
        ::unlink(temporary.c_str());
    return reason;
}
