#include "ImageFile.h"

#include "StopSignals.h"

#include <algorithm>
#include <chrono>
#include <span>
#include <thread>
#include <utility>
#include <vector>

namespace image {
namespace {

using Kind = FileResult::Kind;
using Byte = std::uint8_t;

// How long a read or a save waits for another program's lock, and how often
// it tries meanwhile.
constexpr auto lockWait = std::chrono::seconds(5);
constexpr auto lockRetry = std::chrono::milliseconds(20);

FileResult resultOf(Kind kind, const std::string& path, std::string systemReason = {}) {
    FileResult result;
    result.kind = kind;
    result.path = path;
    result.systemReason = std::move(systemReason);
    return result;
}

// An open image file, closed when it goes out of scope unless close() was
// called first. Only close() reports the system's verdict.
class OpenFile {
public:
    explicit OpenFile(FileSystem& fileSystem) : fileSystem(fileSystem) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (isOpen)
            fileSystem.close(handle);
    }

    std::string openForReading(const std::string& path) {
        return opened(fileSystem.openForReading(path, handle));
    }
    std::string openForWriting(const std::string& path) {
        return opened(fileSystem.openForWriting(path, handle));
    }
    std::string status(FileStatus& status) { return fileSystem.status(handle, status); }
    std::string tryLock(FileSystem::LockKind kind, bool& busy) {
        return fileSystem.tryLock(handle, kind, busy);
    }
    std::string readAt(std::uint64_t offset, std::span<Byte> buffer) {
        return fileSystem.readAt(handle, offset, buffer);
    }
    std::string writeAt(std::uint64_t offset, std::span<const Byte> bytes, std::size_t& written) {
        return fileSystem.writeAt(handle, offset, bytes, written);
    }
    std::string flush() { return fileSystem.flush(handle); }
    bool open() const { return isOpen; }
    std::string reserve(std::uint64_t offset, std::uint64_t length) {
        return fileSystem.reserve(handle, offset, length);
    }
    std::string close() {
        isOpen = false;
        return fileSystem.close(handle);
    }
    // Gives up the descriptor, to be closed by the caller.
    FileSystem::Handle release() {
        isOpen = false;
        return handle;
    }

private:
    std::string opened(std::string reason) {
        isOpen = reason.empty();
        return reason;
    }

    FileSystem& fileSystem;
    FileSystem::Handle handle = -1;
    bool isOpen = false;
};

// Takes the image's lock as `locking` says: Ok, Busy when another program
// holds it too long, or Unreadable with the system's reason.
FileResult lock(OpenFile& file, const std::string& path, FileSystem::LockKind kind,
                Locking locking) {
    if (locking == Locking::AlreadyHeld)
        return resultOf(Kind::Ok, path);
    const auto deadline = std::chrono::steady_clock::now() + lockWait;
    for (;;) {
        bool busy = false;
        if (std::string reason = file.tryLock(kind, busy); !reason.empty())
            return resultOf(Kind::Unreadable, path, std::move(reason));
        if (!busy)
            return resultOf(Kind::Ok, path);
        if (locking == Locking::NoWait || std::chrono::steady_clock::now() >= deadline)
            return resultOf(Kind::Busy, path);
        std::this_thread::sleep_for(lockRetry);
    }
}

// Checks the open file's signature, then its length against `neededSize`:
// Ok or TooShort with the file's size and the size needed, Unreadable with the system's reason,
// or NotTheGame. `status` is what the system said of the open file.
FileResult checkImage(OpenFile& file, const std::string& path, std::uint64_t neededSize,
                      FileStatus& status) {
    if (std::string reason = file.status(status); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    std::array<Byte, signature.size()> found{};
    const bool holdsSignature = status.size >= signatureOffset + found.size();
    if (holdsSignature) {
        if (std::string reason = file.readAt(signatureOffset, found); !reason.empty())
            return resultOf(Kind::Unreadable, path, std::move(reason));
    }
    if (!holdsSignature || found != signature)
        return resultOf(Kind::NotTheGame, path);
    FileResult result = resultOf(status.size < neededSize ? Kind::TooShort : Kind::Ok, path);
    result.fileSize = status.size;
    result.minimumSize = neededSize;
    return result;
}

// Opens the image for reading under a shared lock and checks it.
FileResult openToRead(OpenFile& file, const std::string& path, std::uint64_t neededSize,
                      Locking locking) {
    if (std::string reason = file.openForReading(path); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    if (FileResult locked = lock(file, path, FileSystem::LockKind::Shared, locking); !locked)
        return locked;
    FileStatus status;
    return checkImage(file, path, neededSize, status);
}

// The two blocks of table bytes in the file: the damage table, and the
// health and damage tables, which overlap in the file.
struct Block {
    std::uint32_t offset;
    std::span<const Byte> bytes;
};
using Blocks = std::array<Block, 2>;
using OldBytes = std::array<std::vector<Byte>, 2>;

Blocks blocksOf(std::span<const Byte, places::count> tables) {
    return {Block{places::damageTableOffset, tables.first(places::damageTableSize)},
            Block{places::enemyHealthOffset, tables.subspan(places::damageTableSize)}};
}

// Reserves the disk blocks of `blocks` and reads the bytes they will replace
// into `old`; the system's reason when either fails.
std::string prepareBlocks(OpenFile& file, const Blocks& blocks, OldBytes& old) {
    for (const Block& block : blocks)
        if (std::string reason = file.reserve(block.offset, block.bytes.size()); !reason.empty())
            return reason;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        old[i].resize(blocks[i].bytes.size());
        if (std::string reason = file.readAt(blocks[i].offset, old[i]); !reason.empty())
            return reason;
    }
    return {};
}

// Whether the path still names the file that is open, as `opened` says: Ok,
// Replaced when it names another file, or WriteFailed with the system's
// reason when the path cannot be looked at.
FileResult stillTheFile(FileSystem& fileSystem, const std::string& path, const FileStatus& opened) {
    FileStatus now;
    if (std::string reason = fileSystem.statusAt(path, now); !reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    return resultOf(now.isSameFileAs(opened) ? Kind::Ok : Kind::Replaced, path);
}

// Writes `blocks` and flushes; the system's reason when either fails.
// `landed` gets, for each block, how many of its bytes reached the file.
std::string writeBlocks(OpenFile& file, const Blocks& blocks, std::array<std::size_t, 2>& landed) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (std::string reason = file.writeAt(blocks[i].offset, blocks[i].bytes, landed[i]);
            !reason.empty())
            return reason;
    }
    return file.flush();
}

// Writes back the old bytes of what landed, through `file` while it is open,
// else through the file at `path` opened anew; true when they reached the
// disk, or when nothing landed.
bool putBack(OpenFile& file, const std::string& path, const Blocks& blocks, const OldBytes& old,
             const std::array<std::size_t, 2>& landed) {
    if (landed == std::array<std::size_t, 2>{})
        return true;
    if (!file.open() && !file.openForWriting(path).empty())
        return false;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        std::size_t written = 0;
        const auto bytes = std::span<const Byte>(old[i]).first(landed[i]);
        if (!bytes.empty() && !file.writeAt(blocks[i].offset, bytes, written).empty())
            return false;
    }
    return file.flush().empty() && file.close().empty();
}

// Writes `blocks` over `old`, the bytes they replace, in the file `opened`
// describes. After the writes the file must still be the one at `path`, of
// the same length; on a failed write the old bytes of whatever landed are put
// back. Stop signals wait until this is over.
FileResult writeOrPutBack(FileSystem& fileSystem, OpenFile& file, const std::string& path,
                          const Blocks& blocks, const OldBytes& old, const FileStatus& opened) {
    const StopSignalsHeld held;
    std::array<std::size_t, 2> landed{};
    std::string reason = writeBlocks(file, blocks, landed);
    if (reason.empty()) {
        FileStatus written;
        if (std::string failed = file.status(written); !failed.empty())
            reason = std::move(failed);
        else if (written.size != opened.size)
            return resultOf(Kind::LengthChanged, path);
        else if (FileResult same = stillTheFile(fileSystem, path, opened);
                 same.kind == Kind::Replaced)
            return same;
        else
            reason = std::move(same.systemReason);
    }
    if (reason.empty())
        reason = file.close();
    if (reason.empty())
        return resultOf(Kind::Ok, path);
    const bool restored = putBack(file, path, blocks, old, landed);
    return resultOf(restored ? Kind::WriteFailed : Kind::PartlyWritten, path, std::move(reason));
}

} // namespace

HeldLock::~HeldLock() {
    fileSystem.close(handle);
}

FileResult HeldLock::take(FileSystem& fileSystem, const std::string& path,
                          FileSystem::LockKind kind, std::unique_ptr<HeldLock>& held) {
    OpenFile file(fileSystem);
    const std::string reason = kind == FileSystem::LockKind::Exclusive ? file.openForWriting(path)
                                                                       : file.openForReading(path);
    if (!reason.empty())
        return resultOf(Kind::Unreadable, path, reason);
    FileResult locked = lock(file, path, kind, Locking::Wait);
    if (locked)
        held.reset(new HeldLock(fileSystem, file.release()));
    return locked;
}

FileResult testSignature(FileSystem& fileSystem, const std::string& path, Locking locking) {
    OpenFile file(fileSystem);
    return openToRead(file, path, 0, locking);
}

FileResult readTables(FileSystem& fileSystem, const std::string& path, TableBytes& found,
                      Locking locking) {
    OpenFile file(fileSystem);
    if (FileResult checked = openToRead(file, path, minimumSize, locking); !checked)
        return checked;
    TableBytes read{};
    const std::span<Byte> all(read);
    for (const auto& [offset, buffer] :
         {std::pair{places::damageTableOffset, all.first(places::damageTableSize)},
          std::pair{places::enemyHealthOffset, all.subspan(places::damageTableSize)}}) {
        if (std::string reason = file.readAt(offset, buffer); !reason.empty())
            return resultOf(Kind::Unreadable, path, std::move(reason));
    }
    // Every byte is in memory; a failing close of a file opened for reading
    // loses nothing.
    file.close();
    found = read;
    return resultOf(Kind::Ok, path);
}

FileResult writeTables(FileSystem& fileSystem, const std::string& path, const TableBytes& tables,
                       const std::function<FileResult(const TableBytes& found)>& beforeWriting,
                       Locking locking) {
    OpenFile file(fileSystem);
    if (std::string reason = file.openForWriting(path); !reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    FileResult locked = lock(file, path, FileSystem::LockKind::Exclusive, locking);
    if (locked.kind == Kind::Unreadable)
        locked.kind = Kind::WriteFailed;
    locked.bySave = true;
    if (!locked)
        return locked;
    FileStatus opened;
    if (FileResult checked = checkImage(file, path, minimumSize, opened); !checked) {
        if (checked.kind == Kind::Unreadable)
            checked.kind = Kind::WriteFailed;
        checked.bySave = true;
        return checked;
    }
    const Blocks blocks = blocksOf(tables);
    OldBytes old;
    if (std::string reason = prepareBlocks(file, blocks, old); !reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    TableBytes found{};
    std::ranges::copy(old[1], std::ranges::copy(old[0], found.begin()).out);
    if (FileResult decided = beforeWriting(found); !decided) {
        file.close();
        decided.path = path;
        return decided;
    }
    if (FileResult same = stillTheFile(fileSystem, path, opened); !same)
        return same;
    return writeOrPutBack(fileSystem, file, path, blocks, old, opened);
}

} // namespace image
