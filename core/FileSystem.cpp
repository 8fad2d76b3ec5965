#include "FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// names.cfg holds 256 short lines; anything past this is never needed.
constexpr std::size_t maximumTextFileSize = 1 << 20;

std::string systemReason() {
    return std::strerror(errno);
}

// Opens an existing file. O_NONBLOCK keeps a FIFO or device at the path from
// hanging the program; it changes nothing for regular files, the only kind
// size() accepts.
std::string openExisting(const std::string& path, int flags, FileSystem::Handle& handle) {
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return systemReason();
    handle = fd;
    return {};
}

// Repeats a positioned read or write until every byte has moved; `stalled`
// is the reason given when the system moves none.
template <class Byte, class Transfer>
std::string transferAll(Transfer transfer, std::span<Byte> bytes, std::uint64_t offset,
                        const char* stalled) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count =
            transfer(bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return systemReason();
        if (count == 0)
            return stalled;
        done += static_cast<std::size_t>(count);
    }
    return {};
}

class PosixFileSystem final : public FileSystem {
public:
    std::string openForReading(const std::string& path, Handle& handle) override {
        return openExisting(path, O_RDONLY, handle);
    }

    std::string openForWriting(const std::string& path, Handle& handle) override {
        return openExisting(path, O_RDWR, handle);
    }

    std::string size(Handle handle, std::uint64_t& size) override {
        struct stat status {};
        if (::fstat(handle, &status) != 0)
            return systemReason();
        if (!S_ISREG(status.st_mode))
            return "Not a regular file";
        size = static_cast<std::uint64_t>(status.st_size);
        return {};
    }

    std::string readAt(Handle handle, std::uint64_t offset,
                       std::span<std::uint8_t> buffer) override {
        const auto read = [handle](std::uint8_t* data, std::size_t count, off_t at) {
            return ::pread(handle, data, count, at);
        };
        return transferAll(read, buffer, offset, "The file ends before the bytes to be read");
    }

    std::string writeAt(Handle handle, std::uint64_t offset,
                        std::span<const std::uint8_t> bytes) override {
        const auto write = [handle](const std::uint8_t* data, std::size_t count, off_t at) {
            return ::pwrite(handle, data, count, at);
        };
        return transferAll(write, bytes, offset, "The system accepted no bytes");
    }

    std::string flush(Handle handle) override {
        int result;
        do
            result = ::fsync(handle);
        while (result != 0 && errno == EINTR);
        return result == 0 ? std::string{} : systemReason();
    }

    // Never retried: on Linux the descriptor is gone even when close fails.
    std::string close(Handle handle) override {
        return ::close(handle) == 0 ? std::string{} : systemReason();
    }

    std::string readAll(const std::string& path, std::string& contents) override {
        Handle handle = -1;
        if (std::string reason = openForReading(path, handle); !reason.empty())
            return reason;
        std::uint64_t fileSize = 0;
        std::string reason = size(handle, fileSize);
        std::string text;
        if (reason.empty()) {
            text.resize(std::min<std::uint64_t>(fileSize, maximumTextFileSize));
            reason = readAt(handle, 0, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
        }
        ::close(handle);
        if (reason.empty())
            contents = std::move(text);
        return reason;
    }
};

} // namespace

std::shared_ptr<FileSystem> realFileSystem() {
    return std::make_shared<PosixFileSystem>();
}
