#include "FileSystem.h"

#include "SystemIo.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(const SystemCalls& calls) : system(calls) {}

    std::string openForReading(const std::string& path, Handle& handle) override {
        return openExisting(path, O_RDONLY, handle);
    }

    std::string openForWriting(const std::string& path, Handle& handle) override {
        return openExisting(path, O_RDWR, handle);
    }

    std::string size(Handle handle, std::uint64_t& size) override {
        struct stat status {};
        if (untilNotInterrupted([&] { return system.fstat(handle, &status); }) != 0)
            return systemReason();
        if (!S_ISREG(status.st_mode))
            return "Not a regular file";
        size = static_cast<std::uint64_t>(status.st_size);
        return {};
    }

    // Mode 0 within the file's length allocates holes only. Not
    // posix_fallocate: where the file system cannot reserve, its fallback
    // writes bytes.
    std::string reserve(Handle handle, std::uint64_t offset, std::uint64_t length) override {
        const int result = untilNotInterrupted([&] {
            return system.fallocate(handle, 0, static_cast<off_t>(offset),
                                    static_cast<off_t>(length));
        });
        if (result == 0 || errno == EOPNOTSUPP)
            return {};
        return systemReason();
    }

    std::string readAt(Handle handle, std::uint64_t offset,
                       std::span<std::uint8_t> buffer) override {
        const auto read = [&](std::size_t done) {
            return system.pread(handle, buffer.data() + done, buffer.size() - done,
                                static_cast<off_t>(offset + done));
        };
        return moveAll(buffer.size(), read, "The file ends before the bytes to be read").reason;
    }

    std::string writeAt(Handle handle, std::uint64_t offset,
                        std::span<const std::uint8_t> bytes) override {
        const auto write = [&](std::size_t done) {
            return system.pwrite(handle, bytes.data() + done, bytes.size() - done,
                                 static_cast<off_t>(offset + done));
        };
        return moveAll(bytes.size(), write, "The system accepted no bytes").reason;
    }

    std::string flush(Handle handle) override {
        if (untilNotInterrupted([&] { return system.fsync(handle); }) != 0)
            return systemReason();
        return {};
    }

    // Never retried: on Linux the descriptor is gone even when close fails.
    // EINTR loses nothing, since a save has flushed before it closes.
    std::string close(Handle handle) override {
        if (system.close(handle) == 0 || errno == EINTR)
            return {};
        return systemReason();
    }

    std::string readAll(const std::string& path, std::string& contents) override {
        Handle handle = -1;
        if (std::string reason = openForReading(path, handle); !reason.empty())
            return reason;
        std::uint64_t fileSize = 0;
        std::string reason = size(handle, fileSize);
        if (reason.empty() && fileSize > largestTextFile)
            reason = "Larger than 16 MiB";
        std::string text;
        if (reason.empty()) {
            text.resize(fileSize);
            reason = readAt(handle, 0, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
        }
        close(handle);
        if (reason.empty())
            contents = std::move(text);
        return reason;
    }

    // The permission bits and a read-only mount, as the system judges them
    // for this process: root may write a file whose bits say read-only.
    std::string checkWritable(const std::string& path) override {
        if (untilNotInterrupted([&] { return system.access(path.c_str(), W_OK); }) != 0)
            return systemReason();
        return {};
    }

private:
    // O_NONBLOCK keeps a FIFO or device at the path from hanging the program;
    // it changes nothing for regular files, the only kind size() accepts.
    std::string openExisting(const std::string& path, int flags, Handle& handle) {
        const int fd = untilNotInterrupted(
            [&] { return system.open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK); });
        if (fd < 0)
            return systemReason();
        handle = fd;
        return {};
    }

    SystemCalls system;
};

} // namespace

bool FileSystem::isMissing(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

SystemCalls posixCalls() {
    return {
        [](const char* path, int flags) { return ::open(path, flags); },
        ::fstat,
        ::fallocate,
        ::pread,
        ::pwrite,
        ::fsync,
        ::close,
        ::access,
    };
}

std::shared_ptr<FileSystem> realFileSystem(const SystemCalls& calls) {
    return std::make_shared<PosixFileSystem>(calls);
}
