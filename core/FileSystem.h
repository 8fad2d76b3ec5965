#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// The few file operations the data store needs. The real implementation wraps
// POSIX calls; tests substitute one that fails on demand.
//
// Every call returns an empty string on success and the system's reason on
// failure (for example "No such file or directory").
// What the system says of a file: its length, and the device and inode that
// tell one file from another whatever its name.
struct FileStatus {
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool isSameFileAs(const FileStatus& other) const {
        return device == other.device && inode == other.inode;
    }
};

class FileSystem {
public:
    using Handle = int;
    enum class LockKind { Shared, Exclusive };
    // readAll refuses a larger file: names.cfg holds 256 short lines.
    static constexpr std::uint64_t largestTextFile = 16 << 20;
    virtual ~FileSystem() = default;

    // Opens an existing file; never creates one.
    virtual std::string openForReading(const std::string& path, Handle& handle) = 0;
    virtual std::string openForWriting(const std::string& path, Handle& handle) = 0;
    // The open file's status; refuses anything but a regular file.
    virtual std::string status(Handle handle, FileStatus& status) = 0;
    // The status of the file that `path` names now, links followed.
    virtual std::string statusAt(const std::string& path, FileStatus& status) = 0;
    // Takes a lock of `kind` on the open file (flock, as flock(1) does),
    // without waiting: `busy` when another open file holds one that
    // excludes it. Closing the file releases it.
    virtual std::string tryLock(Handle handle, LockKind kind, bool& busy) = 0;
    // Allocates the blocks of `length` bytes at `offset` so that overwriting
    // them cannot run out of space. Changes neither the size nor a byte, even
    // past the end of a file cut short meanwhile. Succeeds without doing
    // anything where the file system cannot reserve.
    virtual std::string reserve(Handle handle, std::uint64_t offset, std::uint64_t length) = 0;
    // Reads exactly buffer.size() bytes at `offset`, or fails.
    virtual std::string readAt(Handle handle, std::uint64_t offset,
                               std::span<std::uint8_t> buffer) = 0;
    // Writes exactly bytes.size() bytes at `offset`, or fails after writing
    // the first `written` of them.
    virtual std::string writeAt(Handle handle, std::uint64_t offset,
                                std::span<const std::uint8_t> bytes, std::size_t& written) = 0;
    virtual std::string flush(Handle handle) = 0;
    virtual std::string close(Handle handle) = 0;
    // Creates a new, empty file for writing in the folder of `path`, with a
    // name of its own beginning with "." and the name of `path`, and the
    // permission bits the umask allows; `created` gets its path.
    virtual std::string createBeside(const std::string& path, Handle& handle,
                                     std::string& created) = 0;
    // Gives the file at `from` the path `to` in one step, in place of any
    // file there.
    virtual std::string rename(const std::string& from, const std::string& to) = 0;
    virtual std::string remove(const std::string& path) = 0;
    // Reads a whole small file (names.cfg), at most largestTextFile bytes.
    virtual std::string readAll(const std::string& path, std::string& contents) = 0;
    // True when nothing at all is at `path`, not even a broken link.
    virtual bool isMissing(const std::string& path);
    // Whether this process may write the file at `path`: empty when it may,
    // else the reason ("Permission denied", "Read-only file system").
    virtual std::string checkWritable(const std::string& path) = 0;
};

// The system's own file system.
std::shared_ptr<FileSystem> realFileSystem();
