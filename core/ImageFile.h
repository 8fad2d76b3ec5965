#pragma once

#include "FileResult.h"
#include "FileSystem.h"
#include "TablePlaces.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The image file on disk: its signature test, and the reading and writing of
// its table bytes (see TablePlaces.h), and nothing else of it but its own
// checksum, which a save keeps right where it was, and its copy by Save As.
namespace image {

using places::Layout;

constexpr std::array<std::uint8_t, 4> signature{0xAD, 0x28, 0x01, 0xF0};
constexpr std::uint32_t signatureOffsetIn(Layout layout) {
    return places::fileOffset(0x200, layout);
}
// The end of the enemy damage bytes: an image is at least this long.
constexpr std::uint32_t minimumSizeOf(Layout layout) {
    return places::tableOffsets(layout).enemyDamage + places::enemyCount;
}
// An image with a copier header.
constexpr std::uint32_t signatureOffset = signatureOffsetIn(Layout::Headered);
constexpr std::uint32_t minimumSize = minimumSizeOf(Layout::Headered);
static_assert(signatureOffset == 0x400 && minimumSize == 0x6B566 &&
              minimumSizeOf(Layout::Headerless) == 439'142);
// A save reads an image of at most this size whole, to keep its own checksum
// right (see Checksum.h); a larger one only where the tables lie.
constexpr std::uint64_t largestWholeRead = (8 << 20) + places::copierHeaderSize;

using TableBytes = std::array<std::uint8_t, places::count>;

// Every read of the image takes a shared lock on it, every save an exclusive
// one (see FileSystem::tryLock), waiting up to 5 seconds for another program's lock, or not at
// all; or the caller already holds the lock (see HeldLock).
enum class Locking { Wait, NoWait, AlreadyHeld };

// The image's lock, held on a descriptor of its own from take() until
// destroyed, so that a load and a save (with Locking::AlreadyHeld) are one
// use of the image that no other program's save can come between.
class HeldLock {
public:
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    ~HeldLock();

    // Takes the lock of `kind` on the image at `path`, waiting as
    // Locking::Wait does: Ok with `held` set, else Busy or Unreadable.
    static FileResult take(FileSystem& fileSystem, const std::string& path,
                           FileSystem::LockKind kind, std::unique_ptr<HeldLock>& held);

private:
    HeldLock(FileSystem& fileSystem, FileSystem::Handle handle)
        : fileSystem(fileSystem), handle(handle) {}

    FileSystem& fileSystem;
    FileSystem::Handle handle;
};

// Each routine below takes the image's layout as found at Open, and checks
// the signature at its place; or, without one, finds it: the signature at
// 0x400 means a copier header, else at 0x200 none. The result names the
// layout it checked or found.

// Ok when the file at `path` holds the signature; the length is not checked.
FileResult testSignature(FileSystem& fileSystem, const std::string& path,
                         std::optional<Layout> layout, Locking locking = Locking::Wait);

// Reads the table bytes of the image at `path`; `found` is untouched unless
// all of them were read.
FileResult readTables(FileSystem& fileSystem, const std::string& path, std::optional<Layout> layout,
                      TableBytes& found, Locking locking = Locking::Wait);

// The fields of an internal header's checksum, complement first, at
// `romOffset`: as the image holds them, and as a save keeps them right.
struct ChecksumFields {
    std::uint32_t romOffset;
    std::array<std::uint8_t, places::checksumFieldsSize> before, after;
};

// What a save of `tables` would write into the image's own checksum at
// `path`: the fields of each internal header whose checksum is right
// (FileResult::rightChecksum when there are any).
FileResult checksumAfterSave(FileSystem& fileSystem, const std::string& path,
                             std::optional<Layout> layout, const TableBytes& tables,
                             std::vector<ChecksumFields>& fields, Locking locking = Locking::Wait);

// Writes `tables` into the image at `path`, all or nothing, under one lock
// on one descriptor from the read below to the last byte put back: the table
// blocks are reserved and their bytes read before the first write, so that a
// failed write can put back what landed. `beforeWriting` sees those bytes
// and may change `tables`; when it returns anything but Ok, nothing is
// written and its result is returned. The path must still name the opened
// file before the first write and after the flush, and the file keep its
// length (Replaced, LengthChanged), so that no write lengthens a file cut
// short meanwhile. A stop signal waits until the writes are
// over. Where the image's own checksum was right as read, it is written
// anew with the tables, and put back with them (see Checksum.h).
FileResult writeTables(FileSystem& fileSystem, const std::string& path,
                       std::optional<Layout> layout, const TableBytes& tables,
                       const std::function<FileResult(const TableBytes& found)>& beforeWriting,
                       Locking locking = Locking::Wait);

// Writes the whole image at `path`, with `tables` in place of its own and
// its checksum kept right as a save keeps it, to a new file at `target` in
// `targetLayout`: the first 512 bytes dropped, or a copier header of 512
// zero bytes added with the image's length in 8 KiB units in its first two
// (little-endian). The new file is written as a temporary beside `target`
// and renamed into place, so that a failure leaves no part of it; a target
// that names the image itself is refused (TargetIsTheImage).
FileResult writeImageAs(FileSystem& fileSystem, const std::string& path,
                        std::optional<Layout> layout, const TableBytes& tables,
                        const std::string& target, Layout targetLayout,
                        Locking locking = Locking::Wait);

} // namespace image
