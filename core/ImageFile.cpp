#include "ImageFile.h"

#include "Checksum.h"
#include "StopSignals.h"

#include <algorithm>
#include <chrono>
#include <iterator>
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
    std::string createBeside(const std::string& path, std::string& created) {
        return opened(fileSystem.createBeside(path, handle, created));
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
    FileSystem::Handle handle{};
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

// The layout whose signature the open file of `size` bytes holds: that of
// `expected` alone, or, with none, a copier header's first. The bytes from
// the first place to the last are read at once.
std::optional<Layout> findSignature(OpenFile& file, std::uint64_t size,
                                    std::optional<Layout> expected, std::string& reason) {
    const std::vector<Layout> layouts =
        expected ? std::vector{*expected} : std::vector{Layout::Headered, Layout::Headerless};
    const auto [first, last] = std::ranges::minmax(layouts, {}, signatureOffsetIn);
    const std::uint64_t from = signatureOffsetIn(first);
    if (size < from + signature.size())
        return std::nullopt;
    std::vector<Byte> found(
        std::min<std::uint64_t>(size, signatureOffsetIn(last) + signature.size()) - from);
    if (reason = file.readAt(from, found); !reason.empty())
        return std::nullopt;
    for (const Layout layout : layouts) {
        const std::size_t at = signatureOffsetIn(layout) - from;
        if (at + signature.size() <= found.size() &&
            std::equal(signature.begin(), signature.end(), found.begin() + std::ptrdiff_t(at)))
            return layout;
    }
    return std::nullopt;
}

// Checks the open file's signature, then, `withTables`, its length: Ok or
// TooShort with the file's size and the size needed, Unreadable with the system's reason, or
// NotTheGame. `status` is what the system said of the open file.
FileResult checkImage(OpenFile& file, const std::string& path, std::optional<Layout> layout,
                      bool withTables, FileStatus& status) {
    if (std::string reason = file.status(status); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    std::string reason;
    const std::optional<Layout> found = findSignature(file, status.size, layout, reason);
    if (!reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    FileResult result = resultOf(Kind::NotTheGame, path);
    result.layout = found.value_or(layout.value_or(Layout::Headered));
    if (!found)
        return result;
    result.kind = withTables && status.size < minimumSizeOf(*found) ? Kind::TooShort : Kind::Ok;
    result.fileSize = status.size;
    result.minimumSize = minimumSizeOf(*found);
    return result;
}

// Opens the image for reading under a shared lock and checks it.
FileResult openToRead(OpenFile& file, const std::string& path, std::optional<Layout> layout,
                      bool withTables, Locking locking, FileStatus& status) {
    if (std::string reason = file.openForReading(path); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    if (FileResult locked = lock(file, path, FileSystem::LockKind::Shared, locking); !locked)
        return locked;
    return checkImage(file, path, layout, withTables, status);
}

// The bytes of the open image a routine reads: from the file, where they
// lie, or from memory where the image is small enough to be read whole for
// its checksum (largestWholeRead).
class ImageBytes {
public:
    std::string readWholeIfSmall(OpenFile& file, std::uint64_t size) {
        if (size > largestWholeRead)
            return {};
        image.resize(size);
        std::string reason = file.readAt(0, image);
        holdsWhole = reason.empty();
        return reason;
    }
    std::string read(OpenFile& file, std::uint64_t offset, std::span<Byte> buffer) const {
        if (!holdsWhole)
            return file.readAt(offset, buffer);
        std::copy_n(image.begin() + std::ptrdiff_t(offset), buffer.size(), buffer.begin());
        return {};
    }
    // The whole image, when it was read.
    std::optional<std::span<Byte>> whole() {
        return holdsWhole ? std::optional(std::span(image)) : std::nullopt;
    }

private:
    std::vector<Byte> image;
    bool holdsWhole = false;
};

// The two runs of table bytes in the file of `layout`, each with its places
// in `tables`: the damage table, and the health and damage tables, which
// overlap in the file.
template <class Bytes> auto tableRuns(std::span<Bytes, places::count> tables, Layout layout) {
    const places::TableOffsets at = places::tableOffsets(layout);
    return std::array{std::pair{at.damageTable, tables.first(places::damageTableSize)},
                      std::pair{at.enemyHealth, tables.subspan(places::damageTableSize)}};
}

// A run of bytes a save writes: where, what, the bytes it replaces, and how
// many of its bytes reached the file.
struct Block {
    std::uint64_t offset;
    std::span<const Byte> bytes;
    std::vector<Byte> old;
    std::size_t landed;
};
using Blocks = std::vector<Block>;

Blocks tableBlocks(std::span<const Byte, places::count> tables, Layout layout) {
    Blocks blocks;
    for (const auto& [offset, bytes] : tableRuns(tables, layout))
        blocks.push_back({offset, bytes, {}, 0});
    return blocks;
}

// Reserves the disk blocks of each of `blocks`; the system's reason when it
// fails.
std::string reserve(OpenFile& file, const Blocks& blocks) {
    for (const Block& block : blocks)
        if (std::string reason = file.reserve(block.offset, block.bytes.size()); !reason.empty())
            return reason;
    return {};
}

// Reads the bytes each of `blocks` will replace; the system's reason when it
// fails.
std::string readOldBytes(OpenFile& file, const ImageBytes& bytes, Blocks& blocks) {
    for (Block& block : blocks) {
        block.old.resize(block.bytes.size());
        if (std::string reason = bytes.read(file, block.offset, block.old); !reason.empty())
            return reason;
    }
    return {};
}

// Where `bytes` holds the whole image of `layout` and its own checksum is
// right, puts `blocks` into it, makes the checksum right again, and adds
// the checksum's fields to `blocks`, with the bytes they replace. True when
// the checksum was right. The fields of a right checksum hold bytes other
// than zero, so their disk block is no hole, and needs no reservation.
bool keepChecksumRight(ImageBytes& bytes, Layout layout, Blocks& blocks) {
    const std::optional<std::span<Byte>> image = bytes.whole();
    if (!image)
        return false;
    const std::span<Byte> rom = image->subspan(places::headerSize(layout));
    const std::vector<std::uint32_t> headers = checksum::rightHeaders(rom);
    for (const Block& block : blocks)
        std::ranges::copy(block.bytes, image->begin() + std::ptrdiff_t(block.offset));
    for (const std::uint32_t header : headers) {
        const std::uint32_t offset =
            places::fileOffset(header + places::checksumComplementAt, layout);
        const std::span<const Byte> fields = image->subspan(offset, places::checksumFieldsSize);
        blocks.push_back({offset, fields, {fields.begin(), fields.end()}, 0});
        checksum::makeRight(rom, header);
    }
    return !headers.empty();
}

// Whether the path still names the file that is open, of the length
// `opened` says: Ok, Replaced when it names another file, LengthChanged when
// another program cut or lengthened it, or WriteFailed with the system's
// reason when the path cannot be looked at. Checked right before the writes,
// the length keeps a save from lengthening a file cut short meanwhile: a
// write past the end would.
FileResult stillTheFile(FileSystem& fileSystem, const std::string& path, const FileStatus& opened) {
    FileStatus now;
    if (std::string reason = fileSystem.statusAt(path, now); !reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    if (!now.isSameFileAs(opened))
        return resultOf(Kind::Replaced, path);
    return resultOf(now.size == opened.size ? Kind::Ok : Kind::LengthChanged, path);
}

// Writes `blocks` and flushes; the system's reason when either fails. Each
// block counts how many of its bytes reached the file.
std::string writeBlocks(OpenFile& file, Blocks& blocks) {
    for (Block& block : blocks) {
        if (std::string reason = file.writeAt(block.offset, block.bytes, block.landed);
            !reason.empty())
            return reason;
    }
    return file.flush();
}

// Writes back the old bytes of what landed, through `file` while it is open,
// else through the file at `path` opened anew; true when they reached the
// disk, or when nothing landed.
bool putBack(OpenFile& file, const std::string& path, const Blocks& blocks) {
    if (std::ranges::all_of(blocks, [](const Block& block) { return block.landed == 0; }))
        return true;
    if (!file.open() && !file.openForWriting(path).empty())
        return false;
    for (const Block& block : blocks) {
        std::size_t written = 0;
        const auto bytes = std::span<const Byte>(block.old).first(block.landed);
        if (!bytes.empty() && !file.writeAt(block.offset, bytes, written).empty())
            return false;
    }
    return file.flush().empty() && file.close().empty();
}

// Writes `blocks` in the file `opened` describes. After the writes the file
// must still be the one at `path`, of the same length; on a failed write the
// old bytes of whatever landed are put back. Stop signals wait until this is
// over.
FileResult writeOrPutBack(FileSystem& fileSystem, OpenFile& file, const std::string& path,
                          Blocks& blocks, const FileStatus& opened) {
    const StopSignalsHeld held;
    std::string reason = writeBlocks(file, blocks);
    if (reason.empty()) {
        FileStatus written;
        if (std::string failed = file.status(written); !failed.empty())
            reason = std::move(failed);
        else if (written.size != opened.size)
            return resultOf(Kind::LengthChanged, path);
        else if (FileResult same = stillTheFile(fileSystem, path, opened);
                 same.kind != Kind::WriteFailed && !same)
            return same;
        else
            reason = std::move(same.systemReason);
    }
    if (reason.empty())
        reason = file.close();
    if (reason.empty())
        return resultOf(Kind::Ok, path);
    const bool restored = putBack(file, path, blocks);
    return resultOf(restored ? Kind::WriteFailed : Kind::PartlyWritten, path, std::move(reason));
}

// A copier header as header tools write it: the length of the image after
// it in 8 KiB units in its first two bytes, little-endian, then zeros.
std::array<Byte, places::copierHeaderSize> copierHeaderFor(std::uint64_t romSize) {
    std::array<Byte, places::copierHeaderSize> header{};
    const std::uint64_t units = romSize / 8192;
    header[0] = static_cast<Byte>(units);
    header[1] = static_cast<Byte>(units >> 8);
    return header;
}

// Puts the bytes of `blocks` that fall into `piece`, the image's bytes from
// `at` on, in their place there.
void putBlocks(const Blocks& blocks, std::uint64_t at, std::span<Byte> piece) {
    for (const Block& block : blocks) {
        const std::uint64_t start = std::max(at, block.offset);
        const std::uint64_t end = std::min(at + piece.size(), block.offset + block.bytes.size());
        if (start < end)
            std::copy_n(block.bytes.begin() + std::ptrdiff_t(start - block.offset), end - start,
                        piece.begin() + std::ptrdiff_t(start - at));
    }
}

// Writes the image of `size` bytes open in `source`, of `layout`, into
// `copy` in `copyLayout`, with `blocks` in place of the bytes they cover;
// through `bytes` where it holds the whole image, in one write, else in
// pieces of that size. A copier header added goes with the first piece. The
// system's reason when a read or a write fails.
std::string writeCopy(OpenFile& source, const ImageBytes& bytes, std::uint64_t size, Layout layout,
                      OpenFile& copy, Layout copyLayout, const Blocks& blocks) {
    const std::uint32_t kept = std::min(places::headerSize(layout), places::headerSize(copyLayout));
    const std::uint64_t from = places::headerSize(layout) - kept;
    const std::uint64_t to = places::headerSize(copyLayout) - kept;
    std::vector<Byte> piece;
    if (to > 0)
        std::ranges::copy(copierHeaderFor(size - from), std::back_inserter(piece));
    for (std::uint64_t at = from; at < size; piece.clear()) {
        const std::size_t before = piece.size();
        piece.resize(before + std::min(size - at, largestWholeRead));
        const std::span<Byte> read = std::span(piece).subspan(before);
        if (std::string reason = bytes.read(source, at, read); !reason.empty())
            return reason;
        putBlocks(blocks, at, read);
        std::size_t written = 0;
        if (std::string reason = copy.writeAt(at - from + to - before, piece, written);
            !reason.empty())
            return reason;
        at += read.size();
    }
    return copy.flush();
}

// A failure found by a save before it wrote anything, as a save reports it.
FileResult bySave(FileResult result) {
    if (result.kind == Kind::Unreadable)
        result.kind = Kind::WriteFailed;
    result.bySave = true;
    return result;
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

FileResult testSignature(FileSystem& fileSystem, const std::string& path,
                         std::optional<Layout> layout, Locking locking) {
    OpenFile file(fileSystem);
    FileStatus status;
    return openToRead(file, path, layout, false, locking, status);
}

FileResult readTables(FileSystem& fileSystem, const std::string& path, std::optional<Layout> layout,
                      TableBytes& found, Locking locking) {
    OpenFile file(fileSystem);
    FileStatus status;
    FileResult checked = openToRead(file, path, layout, true, locking, status);
    if (!checked)
        return checked;
    TableBytes read{};
    for (const auto& [offset, buffer] : tableRuns(std::span(read), checked.layout)) {
        if (std::string reason = file.readAt(offset, buffer); !reason.empty())
            return resultOf(Kind::Unreadable, path, std::move(reason));
    }
    // Every byte is in memory; a failing close of a file opened for reading
    // loses nothing.
    file.close();
    found = read;
    return checked;
}

FileResult checksumAfterSave(FileSystem& fileSystem, const std::string& path,
                             std::optional<Layout> layout, const TableBytes& tables,
                             std::vector<ChecksumFields>& fields, Locking locking) {
    OpenFile file(fileSystem);
    FileStatus status;
    FileResult checked = openToRead(file, path, layout, true, locking, status);
    if (!checked)
        return checked;
    ImageBytes bytes;
    if (std::string reason = bytes.readWholeIfSmall(file, status.size); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    Blocks blocks = tableBlocks(tables, checked.layout);
    const std::size_t tableBlockCount = blocks.size();
    checked.rightChecksum = keepChecksumRight(bytes, checked.layout, blocks);
    fields.clear();
    for (const Block& block : std::span(blocks).subspan(tableBlockCount)) {
        ChecksumFields& added = fields.emplace_back();
        added.romOffset = std::uint32_t(block.offset - places::headerSize(checked.layout));
        std::ranges::copy(block.old, added.before.begin());
        std::ranges::copy(block.bytes, added.after.begin());
    }
    return checked;
}

FileResult writeTables(FileSystem& fileSystem, const std::string& path,
                       std::optional<Layout> layout, const TableBytes& tables,
                       const std::function<FileResult(const TableBytes& found)>& beforeWriting,
                       Locking locking) {
    OpenFile file(fileSystem);
    if (std::string reason = file.openForWriting(path); !reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    if (FileResult locked = lock(file, path, FileSystem::LockKind::Exclusive, locking); !locked)
        return bySave(locked);
    FileStatus opened;
    const FileResult checked = checkImage(file, path, layout, true, opened);
    if (!checked)
        return bySave(checked);
    Blocks blocks = tableBlocks(tables, checked.layout);
    ImageBytes bytes;
    std::string reason = reserve(file, blocks);
    if (reason.empty())
        reason = bytes.readWholeIfSmall(file, opened.size);
    if (reason.empty())
        reason = readOldBytes(file, bytes, blocks);
    if (!reason.empty())
        return resultOf(Kind::WriteFailed, path, std::move(reason));
    TableBytes found{};
    std::ranges::copy(blocks[1].old, std::ranges::copy(blocks[0].old, found.begin()).out);
    if (FileResult decided = beforeWriting(found); !decided) {
        file.close();
        decided.path = path;
        return decided;
    }
    const bool rightChecksum = keepChecksumRight(bytes, checked.layout, blocks);
    if (FileResult same = stillTheFile(fileSystem, path, opened); !same)
        return same;
    FileResult written = writeOrPutBack(fileSystem, file, path, blocks, opened);
    written.layout = checked.layout;
    written.rightChecksum = rightChecksum;
    return written;
}

FileResult writeImageAs(FileSystem& fileSystem, const std::string& path,
                        std::optional<Layout> layout, const TableBytes& tables,
                        const std::string& target, Layout targetLayout, Locking locking) {
    OpenFile source(fileSystem);
    FileStatus opened;
    FileResult checked = openToRead(source, path, layout, true, locking, opened);
    if (!checked) { // a read of the open image; what it found, as a save finds it
        checked.bySave = true;
        return checked;
    }
    if (FileStatus there; fileSystem.statusAt(target, there).empty() && there.isSameFileAs(opened))
        return resultOf(Kind::TargetIsTheImage, target);
    ImageBytes bytes;
    if (std::string reason = bytes.readWholeIfSmall(source, opened.size); !reason.empty())
        return resultOf(Kind::Unreadable, path, std::move(reason));
    Blocks blocks = tableBlocks(tables, checked.layout);
    const bool rightChecksum = keepChecksumRight(bytes, checked.layout, blocks);

    const StopSignalsHeld held;
    OpenFile copy(fileSystem);
    std::string temporary;
    if (std::string reason = copy.createBeside(target, temporary); !reason.empty())
        return resultOf(Kind::WriteFailed, target, std::move(reason));
    std::string reason =
        writeCopy(source, bytes, opened.size, checked.layout, copy, targetLayout, blocks);
    if (reason.empty())
        reason = copy.close();
    if (reason.empty())
        reason = fileSystem.rename(temporary, target);
    if (!reason.empty()) {
        if (copy.open())
            copy.close();
        fileSystem.remove(temporary);
        return resultOf(Kind::WriteFailed, target, std::move(reason));
    }
    FileResult saved = resultOf(Kind::Ok, target);
    saved.layout = targetLayout;
    saved.rightChecksum = rightChecksum;
    return saved;
}

} // namespace image
