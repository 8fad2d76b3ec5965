#include "PosixFiles.h"

#include "FileSystem.h"
#include "SystemIo.h"

#include <array>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string readUntilEnd(int fd, std::string& contents) {
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const ssize_t count =
            untilNotInterrupted([&] { return ::read(fd, buffer.data(), buffer.size()); });
        if (count < 0)
            return systemReason();
        if (count == 0)
            return {};
        contents.append(buffer.data(), static_cast<std::size_t>(count));
        if (contents.size() > FileSystem::largestTextFile)
            return "Larger than 16 MiB";
    }
}

} // namespace

std::string readFileToEnd(const std::string& path, std::string& contents) {
    const bool standardInput = path == "-";
    const int fd =
        standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return systemReason();
    std::string text;
    std::string reason = readUntilEnd(fd, text);
    if (!standardInput)
        ::close(fd);
    if (reason.empty())
        contents = std::move(text);
    return reason;
}
