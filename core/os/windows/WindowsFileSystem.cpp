#include "FileSystem.h"

#include "StopSignals.h"
#include "WindowsText.h"

#include <algorithm>
#include <array>

namespace {

// The range every lock covers: far past the end of any image, as SQLite
// locks bytes at 1 GiB, since a Windows lock bars every other handle, a
// reader that takes no lock included, from the bytes it covers.
constexpr std::uint64_t lockOffset = std::uint64_t(1) << 40;
constexpr DWORD lockLength = 1;

// Others may read, write, rename and delete the file while it is open, as
// emulators and other tools expect.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE systemHandleOf(FileSystem::Handle handle) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

FileSystem::Handle handleOf(HANDLE handle) {
    return FileSystem::Handle(reinterpret_cast<std::uintptr_t>(handle));
}

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED overlapped{};
    overlapped.Offset = DWORD(offset);
    overlapped.OffsetHigh = DWORD(offset >> 32);
    return overlapped;
}

FileStatus statusOf(const BY_HANDLE_FILE_INFORMATION& found) {
    const auto wide = [](DWORD high, DWORD low) { return (std::uint64_t(high) << 32) | low; };
    return {
        wide(found.nFileSizeHigh, found.nFileSizeLow),
        FileIdentity(found.dwVolumeSerialNumber, wide(found.nFileIndexHigh, found.nFileIndexLow))};
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opens an existing file, never creating one. A folder, which the system
// refuses as if access were denied, is said to be no regular file.
std::string openExisting(const std::string& path, DWORD access, DWORD flags, HANDLE& handle) {
    const std::wstring name = utf16Of(path);
    handle = CreateFileW(name.c_str(), access, shareAll, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        return {};
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED && isFolder(name) ? "Not a regular file"
                                                          : systemReason(error);
}

// Moves all `size` bytes by calling `step(done, count, moved)` (ReadFile or
// WriteFile at the right offset) until done; `stalled` when a step moves
// nothing.
template <class Step>
std::string moveAll(std::size_t size, const Step& step, const char* stalled, std::size_t& moved) {
    moved = 0;
    while (moved < size) {
        const DWORD count = DWORD(std::min<std::size_t>(size - moved, 1 << 30));
        DWORD done = 0;
        if (!step(moved, count, done)) {
            const DWORD error = GetLastError();
            return error == ERROR_HANDLE_EOF ? stalled : systemReason(error);
        }
        if (done == 0)
            return stalled;
        moved += done;
    }
    return {};
}

class WindowsFileSystem final : public FileSystem {
public:
    std::string openForReading(const std::string& path, Handle& handle) override {
        return open(path, GENERIC_READ, handle);
    }

    std::string openForWriting(const std::string& path, Handle& handle) override {
        return open(path, GENERIC_READ | GENERIC_WRITE, handle);
    }

    std::string status(Handle handle, FileStatus& status) override {
        return statusOfOpen(systemHandleOf(handle), status);
    }

    std::string statusAt(const std::string& path, FileStatus& status) override {
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (std::string reason =
                openExisting(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS, handle);
            !reason.empty())
            return reason;
        BY_HANDLE_FILE_INFORMATION found{};
        const bool known = GetFileInformationByHandle(handle, &found);
        const std::string reason = known ? std::string() : systemReason();
        CloseHandle(handle);
        if (known)
            status = statusOf(found);
        return reason;
    }

    std::string tryLock(Handle handle, LockKind kind, bool& busy) override {
        OVERLAPPED range = at(lockOffset);
        const DWORD flags =
            LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        busy = false;
        if (LockFileEx(systemHandleOf(handle), flags, 0, lockLength, 0, &range))
            return {};
        const DWORD error = GetLastError();
        busy = error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING;
        return busy ? std::string() : systemReason(error);
    }

    // Windows allocates a file's clusters when it grows, not when it is
    // overwritten in place: there is nothing to reserve.
    std::string reserve(Handle, std::uint64_t, std::uint64_t) override { return {}; }

    std::string readAt(Handle handle, std::uint64_t offset,
                       std::span<std::uint8_t> buffer) override {
        const auto read = [&](std::size_t done, DWORD count, DWORD& moved) {
            OVERLAPPED from = at(offset + done);
            return ReadFile(systemHandleOf(handle), buffer.data() + done, count, &moved, &from);
        };
        std::size_t moved = 0;
        return moveAll(buffer.size(), read, "The file ends before the bytes to be read", moved);
    }

    std::string writeAt(Handle handle, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                        std::size_t& written) override {
        const auto write = [&](std::size_t done, DWORD count, DWORD& moved) {
            OVERLAPPED to = at(offset + done);
            return WriteFile(systemHandleOf(handle), bytes.data() + done, count, &moved, &to);
        };
        return moveAll(bytes.size(), write, "The system accepted no bytes", written);
    }

    std::string flush(Handle handle) override {
        return FlushFileBuffers(systemHandleOf(handle)) ? std::string() : systemReason();
    }

    std::string close(Handle handle) override {
        return CloseHandle(systemHandleOf(handle)) ? std::string() : systemReason();
    }

    // A name of its own: six random letters or digits after "." and the name
    // of `path`, tried again should a file of that name exist.
    std::string createBeside(const std::string& path, Handle& handle,
                             std::string& created) override {
        for (int tries = 0; tries < temporaryNameTries; ++tries) {
            std::string name = temporaryNameBeside(path);
            const HANDLE file =
                CreateFileW(utf16Of(name).c_str(), GENERIC_READ | GENERIC_WRITE, shareAll, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                handle = handleOf(file);
                created = std::move(name);
                return {};
            }
            if (GetLastError() != ERROR_FILE_EXISTS)
                return systemReason();
        }
        return systemReason(ERROR_FILE_EXISTS);
    }

    std::string rename(const std::string& from, const std::string& to) override {
        if (MoveFileExW(utf16Of(from).c_str(), utf16Of(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        return systemReason();
    }

    std::string remove(const std::string& path) override {
        return DeleteFileW(utf16Of(path).c_str()) ? std::string() : systemReason();
    }

    std::string readToEnd(const std::string& path, std::string& contents) override {
        const bool standardInput = path == "-";
        HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
        if (!standardInput)
            if (std::string reason = openExisting(path, GENERIC_READ, 0, handle); !reason.empty())
                return reason;
        std::string text;
        std::string reason = readUntilEnd(handle, text);
        if (!standardInput)
            CloseHandle(handle);
        if (reason.empty())
            contents = std::move(text);
        return reason;
    }

    ReplaceResult replaceWhole(const std::string& path, std::string_view contents) override {
        if (isDevice(path))
            return writeStraight(path, contents);
        const StopSignalsHeld held;
        Handle temporary{};
        std::string created;
        if (std::string reason = createBeside(path, temporary, created); !reason.empty())
            return {reason, false};
        std::size_t written = 0;
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(contents.data()),
                              contents.size());
        std::string reason = writeAt(temporary, 0, bytes, written);
        if (reason.empty())
            reason = flush(temporary);
        if (const std::string closed = close(temporary); reason.empty())
            reason = closed;
        if (reason.empty())
            reason = rename(created, path);
        if (!reason.empty()) {
            remove(created);
            return {reason, false};
        }
        return {{}, true};
    }

    bool isMissing(const std::string& path) override {
        if (GetFileAttributesW(utf16Of(path).c_str()) != INVALID_FILE_ATTRIBUTES)
            return false;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }

    // Whether the system lets this process open the file for writing: its
    // read-only attribute, its access rights and a read-only medium.
    std::string checkWritable(const std::string& path) override {
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (std::string reason = openExisting(path, GENERIC_WRITE, 0, handle); !reason.empty())
            return reason;
        CloseHandle(handle);
        return {};
    }

private:
    static std::string open(const std::string& path, DWORD access, Handle& handle) {
        HANDLE file = INVALID_HANDLE_VALUE;
        if (std::string reason = openExisting(path, access, 0, file); !reason.empty())
            return reason;
        handle = handleOf(file);
        return {};
    }

    // Refuses anything but a file on a disk: a folder, a device, a pipe.
    static std::string statusOfOpen(HANDLE handle, FileStatus& status) {
        BY_HANDLE_FILE_INFORMATION found{};
        if (GetFileType(handle) != FILE_TYPE_DISK)
            return "Not a regular file";
        if (!GetFileInformationByHandle(handle, &found))
            return systemReason();
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return "Not a regular file";
        status = statusOf(found);
        return {};
    }

    static std::string readUntilEnd(HANDLE handle, std::string& contents) {
        std::array<char, 1 << 16> buffer;
        for (;;) {
            DWORD count = 0;
            if (!ReadFile(handle, buffer.data(), DWORD(buffer.size()), &count, nullptr)) {
                const DWORD error = GetLastError();
                // The writer of a pipe closed it: the end of the input.
                return error == ERROR_BROKEN_PIPE ? std::string() : systemReason(error);
            }
            if (count == 0)
                return {};
            contents.append(buffer.data(), count);
            if (contents.size() > largestTextFile)
                return "Larger than 16 MiB";
        }
    }

    // Whether `path` names a device, such as CON or NUL, or a pipe: written
    // straight, as there is no file to replace.
    static bool isDevice(const std::string& path) {
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (!openExisting(path, 0, 0, handle).empty())
            return false;
        const bool device = GetFileType(handle) != FILE_TYPE_DISK;
        CloseHandle(handle);
        return device;
    }

    static ReplaceResult writeStraight(const std::string& path, std::string_view contents) {
        HANDLE handle = INVALID_HANDLE_VALUE;
        if (std::string reason = openExisting(path, GENERIC_WRITE, 0, handle); !reason.empty())
            return {reason, false};
        DWORD written = 0;
        std::string reason =
            WriteFile(handle, contents.data(), DWORD(contents.size()), &written, nullptr) &&
                    written == contents.size()
                ? std::string()
                : systemReason();
        CloseHandle(handle);
        return {reason, reason.empty()};
    }
};

} // namespace

std::shared_ptr<FileSystem> realFileSystem() {
    return std::make_shared<WindowsFileSystem>();
}
