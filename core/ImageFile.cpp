#include "ImageFile.h"

#include "StopSignals.h"

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

namespace image {
namespace {

using Kind = FileResult::Kind;
using Byte = std::uint8_t;

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
    std::string size(std::uint64_t& size) { return fileSystem.size(handle, size); }
    std::string readAt(std::uint64_t offset, std::span<Byte> buffer) {
        return fileSystem.readAt(handle, offset, buffer);
    }
    std::string writeAt(std::uint64_t offset, std::span<const Byte> bytes) {
        return fileSystem.writeAt(handle, offset, bytes);
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

private:
    std::string opened(std::string reason) {
        isOpen = reason.empty();
        return reason;
    }

    FileSystem& fileSystem;
    FileSystem::Handle handle = -1;
    bool isOpen = false;
};

// Checks the open file's signature, then its length against `neededSize`:
// Ok or TooShort with the file's size, Unreadable with the system's reason,
// or NotTheGame.
FileResult checkImage(OpenFile& file, const std::string& path, std::uint64_t neededSize) {
    std::uint64_t size = 0;
    if (std::string reason = file.size(size); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    std::array<Byte, signature.size()> found{};
    const bool holdsSignature = size >= signatureOffset + found.size();
    if (holdsSignature) {
        if (std::string reason = file.readAt(signatureOffset, found); !reason.empty())
            return resultOf(Kind::Unreadable, path, std::move(reason));
    }
    if (!holdsSignature || found != signature)
        return resultOf(Kind::NotTheGame, path);
    FileResult result = resultOf(size < neededSize ? Kind::TooShort : Kind::Ok, path);
    result.fileSize = size;
    return result;
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

// Writes `blocks`, flushes and closes; the system's reason when any fails.
// `attempted` counts the blocks whose writing began: a failing write may have
// moved some of its bytes.
std::string writeBlocks(OpenFile& file, const Blocks& blocks, std::size_t& attempted) {
    std::string reason;
    while (reason.empty() && attempted < blocks.size()) {
        const Block& block = blocks[attempted++];
        reason = file.writeAt(block.offset, block.bytes);
    }
    if (reason.empty())
        reason = file.flush();
    if (reason.empty())
        reason = file.close();
    return reason;
}

// Writes `blocks` back into the file, through `file` while it is open, else
// through the file at `path` opened anew; true when they reached the disk.
bool putBack(OpenFile& file, const std::string& path, std::span<const Block> blocks) {
    if (!file.open() && !file.openForWriting(path).empty())
        return false;
    for (const Block& block : blocks)
        if (!file.writeAt(block.offset, block.bytes).empty())
            return false;
    return file.flush().empty() && file.close().empty();
}

// Writes `blocks` over `old`, the bytes they replace, and on failure puts back
// the old bytes of every block whose writing began.
FileResult writeOrPutBack(OpenFile& file, const std::string& path, const Blocks& blocks,
                          const OldBytes& old) {
    const StopSignalsHeld held;
    std::size_t attempted = 0;
    std::string reason = writeBlocks(file, blocks, attempted);
    if (reason.empty())
        return resultOf(Kind::Ok, path);
    const Blocks oldBlocks{Block{blocks[0].offset, old[0]}, Block{blocks[1].offset, old[1]}};
    if (putBack(file, path, std::span(oldBlocks).first(attempted)))
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    return resultOf(Kind::PartlyWritten, path, std::move(reason));
}

} // namespace

FileResult testSignature(FileSystem& fileSystem, const std::string& path) {
    OpenFile file(fileSystem);
    if (std::string reason = file.openForReading(path); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    return checkImage(file, path, 0);
}

FileResult readTables(FileSystem& fileSystem, const std::string& path, TableBytes& found) {
    OpenFile file(fileSystem);
    if (std::string reason = file.openForReading(path); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    if (FileResult checked = checkImage(file, path, minimumSize); !checked)
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
                       const std::function<FileResult(const TableBytes& found)>& beforeWriting) {
    OpenFile file(fileSystem);
    if (std::string reason = file.openForWriting(path); !reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    if (FileResult checked = checkImage(file, path, minimumSize); !checked) {
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
    return writeOrPutBack(file, path, blocks, old);
}

} // namespace image
