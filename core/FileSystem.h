#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// The few file operations the data store needs. The real implementation wraps
// POSIX calls; tests substitute one that fails on demand.
//
// Every call returns an empty string on success and the system's reason on
// failure (for example "No such file or directory").
class FileSystem {
public:
    using Handle = int;
    // readAll refuses a larger file: names.cfg holds 256 short lines.
    static constexpr std::uint64_t largestTextFile = 16 << 20;
    virtual ~FileSystem() = default;

    // Opens an existing file; never creates one.
    virtual std::string openForReading(const std::string& path, Handle& handle) = 0;
    virtual std::string openForWriting(const std::string& path, Handle& handle) = 0;
    virtual std::string size(Handle handle, std::uint64_t& size) = 0;
    // Allocates the blocks of `length` bytes at `offset`, within the file's
    // length, so that overwriting them cannot run out of space. Changes neither
    // the size nor a byte. Succeeds without doing anything where the file
    // system cannot reserve.
    virtual std::string reserve(Handle handle, std::uint64_t offset, std::uint64_t length) = 0;
    // Reads exactly buffer.size() bytes at `offset`, or fails.
    virtual std::string readAt(Handle handle, std::uint64_t offset,
                               std::span<std::uint8_t> buffer) = 0;
    // Writes exactly bytes.size() bytes at `offset`, or fails (possibly after
    // writing some of them).
    virtual std::string writeAt(Handle handle, std::uint64_t offset,
                                std::span<const std::uint8_t> bytes) = 0;
    virtual std::string flush(Handle handle) = 0;
    virtual std::string close(Handle handle) = 0;
    // Reads a whole small file (names.cfg), at most largestTextFile bytes.
    virtual std::string readAll(const std::string& path, std::string& contents) = 0;
    // True when nothing at all is at `path`, not even a broken link.
    virtual bool isMissing(const std::string& path);
    // Whether this process may write the file at `path`: empty when it may,
    // else the reason ("Permission denied", "Read-only file system").
    virtual std::string checkWritable(const std::string& path) = 0;
};

// The system calls below the real file system. Tests replace them to make the
// system answer as it rarely does: short transfers, EINTR, nothing moved.
struct SystemCalls {
    int (*open)(const char* path, int flags);
    int (*fstat)(int fd, struct stat* status);
    int (*fallocate)(int fd, int mode, off_t offset, off_t length);
    ssize_t (*pread)(int fd, void* buffer, size_t count, off_t offset);
    ssize_t (*pwrite)(int fd, const void* buffer, size_t count, off_t offset);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*access)(const char* path, int mode);
};

// The calls of the C library.
SystemCalls posixCalls();

std::shared_ptr<FileSystem> realFileSystem(const SystemCalls& calls = posixCalls());
