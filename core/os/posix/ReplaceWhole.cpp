#include "PosixFiles.h"

#include "StopSignals.h"
#include "SystemIo.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string writeAll(int fd, std::string_view contents) {
    const auto write = [&](std::size_t done) {
        return ::write(fd, contents.data() + done, contents.size() - done);
    };
    return moveAll(contents.size(), write, "Nothing was written").reason;
}

// The file that `path` names after its symbolic links, followed as open()
// would; a dangling link gives the file it would create.
std::string followLinks(const std::string& path, fs::path& target) {
    constexpr int mostLinks = 40; // as the kernel allows
    target = path;
    for (int links = 0;; ++links) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error)))
            return {};
        if (links == mostLinks)
            return systemReason(ELOOP);
        const fs::path next = fs::read_symlink(target, error);
        if (error)
            return error.message();
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
}

// The permission bits for the new file: those of the file it replaces, or
// what the umask allows, as with `>`.
mode_t permissionsFor(const struct stat& existing, bool exists) {
    if (exists)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string fillAndClose(int fd, mode_t mode, std::string_view contents) {
    std::string reason = ::fchmod(fd, mode) == 0 ? std::string{} : systemReason();
    if (reason.empty())
        reason = writeAll(fd, contents);
    if (reason.empty() && ::fsync(fd) != 0)
        reason = systemReason();
    if (::close(fd) != 0 && reason.empty())
        reason = systemReason();
    return reason;
}

std::string syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return systemReason();
    std::string reason = ::fsync(fd) == 0 ? std::string{} : systemReason();
    ::close(fd);
    return reason;
}

ReplaceResult writeStraight(const fs::path& target, std::string_view contents) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {systemReason(), false};
    std::string reason = writeAll(fd, contents);
    if (::close(fd) != 0 && reason.empty())
        reason = systemReason();
    return {reason, reason.empty()};
}

ReplaceResult replaceFile(const fs::path& target, mode_t mode, std::string_view contents) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return {systemReason(), false};
    std::string reason = fillAndClose(fd, mode, contents);
    if (reason.empty() && ::rename(temporary.c_str(), target.c_str()) != 0)
        reason = systemReason();
    if (!reason.empty()) {
        ::unlink(temporary.c_str());
        return {reason, false};
    }
    return {syncFolder(folder), true};
}

} // namespace

ReplaceResult replaceFileWhole(const std::string& path, std::string_view contents) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return writeStraight(path, contents);
    fs::path target;
    if (std::string reason = followLinks(path, target); !reason.empty())
        return {reason, false};
    const StopSignalsHeld held;
    return replaceFile(target, permissionsFor(existing, exists), contents);
}
