#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// The few file operations the data store and tarvon-tables need, with one
// implementation per system (os/posix, os/windows); tests substitute one that
// fails on demand, the fuzzers one in memory.
//
// Every call returns an empty string on success and the system's reason on
// failure, in its own words (for example "No such file or directory").

// What tells one file from another whatever its name: on POSIX the device
// and inode, on Windows the volume serial number and the file index.
class FileIdentity {
public:
    FileIdentity() = default;
    FileIdentity(std::uint64_t volume, std::uint64_t file) : volume(volume), file(file) {}
    bool operator==(const FileIdentity&) const = default;

private:
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
};

// What the system says of a file: its length and its identity.
struct FileStatus {
    std::uint64_t size = 0;
    FileIdentity identity;

    bool isSameFileAs(const FileStatus& other) const { return identity == other.identity; }
};

// How a file was replaced whole (see FileSystem::replaceWhole).
struct ReplaceResult {
    // The system's reason for a failure; empty on success.
    std::string reason;
    // Whether the file holds the new contents, even though something failed
    // afterwards (syncing its folder).
    bool written = false;
};

class FileSystem {
public:
    // An open file, as the implementation that opened it knows it.
    enum class Handle : std::uintptr_t {};
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
    // Takes a lock of `kind` on the open file, without waiting: `busy` when
    // another open file holds one that excludes it. Closing the file releases
    // it. The lock keeps out other programs that lock, never a reader that
    // takes none: POSIX locks the whole file (flock, as flock(1) does),
    // Windows a range far past the end of any image, since its locks bar
    // every other handle from the bytes they cover.
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
    // Reads a whole small regular file (names.cfg), at most largestTextFile
    // bytes, through the calls above.
    virtual std::string readAll(const std::string& path, std::string& contents);
    // Reads a file of any kind to its end (a pipe too; standard input for
    // "-"), at most largestTextFile bytes.
    virtual std::string readToEnd(const std::string& path, std::string& contents) = 0;
    // Writes `contents` to `path` whole or not at all, as `>` would: through
    // a temporary file beside the file (beside the file a symbolic link
    // points to, which stays a link), flushed and then renamed over it, and
    // the folder flushed after where the system has that. An existing file
    // keeps its permission bits; a new one gets the system's default. A path
    // that names no regular file, such as a pipe or a device, is written
    // straight.
    virtual ReplaceResult replaceWhole(const std::string& path, std::string_view contents) = 0;
    // True when nothing at all is at `path`, not even a broken link.
    virtual bool isMissing(const std::string& path) = 0;
    // Whether this process may write the file at `path`: empty when it may,
    // else the reason ("Permission denied", "Read-only file system").
    virtual std::string checkWritable(const std::string& path) = 0;

protected:
    // How many names createBeside tries, and the next one for `path`: "."
    // and the name of `path`, ".", and six random letters or digits.
    static constexpr int temporaryNameTries = 100;
    static std::string temporaryNameBeside(const std::string& path);
};

// The system's own file system.
std::shared_ptr<FileSystem> realFileSystem();

// Paths are UTF-8 inside both programs; these convert to and from the
// system's own paths (UTF-16 on Windows).
std::filesystem::path pathOfUtf8(std::string_view utf8);
std::string utf8OfPath(const std::filesystem::path& path);
