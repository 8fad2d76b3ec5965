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
class FileSystem {
public:
    using Handle = int;
    virtual ~FileSystem() = default;

    // Opens an existing file; never creates one.
    virtual std::string openForReading(const std::string& path, Handle& handle) = 0;
    virtual std::string openForWriting(const std::string& path, Handle& handle) = 0;
    virtual std::string size(Handle handle, std::uint64_t& size) = 0;
    // Reads exactly buffer.size() bytes at `offset`, or fails.
    virtual std::string readAt(Handle handle, std::uint64_t offset,
                               std::span<std::uint8_t> buffer) = 0;
    // Writes exactly bytes.size() bytes at `offset`, or fails.
    virtual std::string writeAt(Handle handle, std::uint64_t offset,
                                std::span<const std::uint8_t> bytes) = 0;
    virtual std::string flush(Handle handle) = 0;
    virtual std::string close(Handle handle) = 0;
    // Reads a whole small file (names.cfg).
    virtual std::string readAll(const std::string& path, std::string& contents) = 0;
};

std::shared_ptr<FileSystem> realFileSystem();
