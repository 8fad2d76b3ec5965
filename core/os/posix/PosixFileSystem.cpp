#include "SystemCalls.h"

#include "PosixFiles.h"
#include "SystemIo.h"

#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace {

FileStatus statusOf(const struct stat& found) {
    return {static_cast<std::uint64_t>(found.st_size),
            FileIdentity(static_cast<std::uint64_t>(found.st_dev),
                         static_cast<std::uint64_t>(found.st_ino))};
}

int descriptorOf(FileSystem::Handle handle) {
    return static_cast<int>(handle);
}

class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(const SystemCalls& calls) : system(calls) {}

    std::string openForReading(const std::string& path, Handle& handle) override {
        return openExisting(path, O_RDONLY, handle);
    }

    std::string openForWriting(const std::string& path, Handle& handle) override {
        return openExisting(path, O_RDWR, handle);
    }

    std::string status(Handle handle, FileStatus& status) override {
        struct stat found {};
        if (untilNotInterrupted([&] { return system.fstat(descriptorOf(handle), &found); }) != 0)
            return systemReason();
        if (!S_ISREG(found.st_mode))
            return "Not a regular file";
        status = statusOf(found);
        return {};
    }

    std::string statusAt(const std::string& path, FileStatus& status) override {
        struct stat found {};
        if (untilNotInterrupted([&] { return system.stat(path.c_str(), &found); }) != 0)
            return systemReason();
        status = statusOf(found);
        return {};
    }

    std::string tryLock(Handle handle, LockKind kind, bool& busy) override {
        const int operation = (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
        busy = false;
        if (untilNotInterrupted([&] { return system.flock(descriptorOf(handle), operation); }) == 0)
            return {};
        busy = errno == EWOULDBLOCK;
        return busy ? std::string() : systemReason();
    }

    // Holes only, and never past the end: not posix_fallocate, whose fallback
    // where the file system cannot reserve writes bytes.
    std::string reserve(Handle handle, std::uint64_t offset, std::uint64_t length) override {
        const int result = untilNotInterrupted([&] {
            return system.fallocate(descriptorOf(handle), FALLOC_FL_KEEP_SIZE,
                                    static_cast<off_t>(offset), static_cast<off_t>(length));
        });
        if (result == 0 || errno == EOPNOTSUPP)
            return {};
        return systemReason();
    }

    std::string readAt(Handle handle, std::uint64_t offset,
                       std::span<std::uint8_t> buffer) override {
        const auto read = [&](std::size_t done) {
            return system.pread(descriptorOf(handle), buffer.data() + done, buffer.size() - done,
                                static_cast<off_t>(offset + done));
        };
        return moveAll(buffer.size(), read, "The file ends before the bytes to be read").reason;
    }

    std::string writeAt(Handle handle, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                        std::size_t& written) override {
        const auto write = [&](std::size_t done) {
            return system.pwrite(descriptorOf(handle), bytes.data() + done, bytes.size() - done,
                                 static_cast<off_t>(offset + done));
        };
        Transferred transferred = moveAll(bytes.size(), write, "The system accepted no bytes");
        written = transferred.moved;
        return std::move(transferred.reason);
    }

    std::string flush(Handle handle) override {
        if (untilNotInterrupted([&] { return system.fsync(descriptorOf(handle)); }) != 0)
            return systemReason();
        return {};
    }

    // Never retried: on Linux the descriptor is gone even when close fails.
    // EINTR loses nothing, since a save has flushed before it closes.
    std::string close(Handle handle) override {
        if (system.close(descriptorOf(handle)) == 0 || errno == EINTR)
            return {};
        return systemReason();
    }

    // A name of its own: six random letters or digits after the name of
    // `path`, tried again should a file of that name exist.
    std::string createBeside(const std::string& path, Handle& handle,
                             std::string& created) override {
        for (int tries = 0; tries < temporaryNameTries; ++tries) {
            std::string name = temporaryNameBeside(path);
            const int fd = untilNotInterrupted([&] {
                return system.create(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            });
            if (fd >= 0) {
                handle = Handle(fd);
                created = std::move(name);
                return {};
            }
            if (errno != EEXIST)
                return systemReason();
        }
        return systemReason(EEXIST);
    }

    std::string rename(const std::string& from, const std::string& to) override {
        if (untilNotInterrupted([&] { return system.rename(from.c_str(), to.c_str()); }) != 0)
            return systemReason();
        return {};
    }

    std::string remove(const std::string& path) override {
        if (untilNotInterrupted([&] { return system.unlink(path.c_str()); }) != 0)
            return systemReason();
        return {};
    }

    std::string readToEnd(const std::string& path, std::string& contents) override {
        return readFileToEnd(path, contents);
    }

    ReplaceResult replaceWhole(const std::string& path, std::string_view contents) override {
        return replaceFileWhole(path, contents);
    }

    bool isMissing(const std::string& path) override {
        struct stat status {};
        return ::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
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
        handle = Handle(fd);
        return {};
    }

    SystemCalls system;
};

} // namespace

SystemCalls posixCalls() {
    return {
        [](const char* path, int flags) { return ::open(path, flags); },
        ::fstat,
        ::stat,
        ::flock,
        ::fallocate,
        ::pread,
        ::pwrite,
        ::fsync,
        ::close,
        ::access,
        [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        ::rename,
        ::unlink,
    };
}

std::shared_ptr<FileSystem> realFileSystem(const SystemCalls& calls) {
    return std::make_shared<PosixFileSystem>(calls);
}

std::shared_ptr<FileSystem> realFileSystem() {
    return realFileSystem(posixCalls());
}
