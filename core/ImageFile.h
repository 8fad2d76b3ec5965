#pragma once

#include "FileResult.h"
#include "FileSystem.h"
#include "TablePlaces.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The image file on disk: its signature test, and the reading and writing of
// its table bytes (see TablePlaces.h), and nothing else of it.
namespace image {

constexpr std::uint32_t signatureOffset = 0x400;
constexpr std::array<std::uint8_t, 4> signature{0xAD, 0x28, 0x01, 0xF0};
// The end of the enemy damage bytes, 0x6B566: an image is at least this long.
constexpr std::uint32_t minimumSize = places::enemyDamageOffset + places::enemyCount;

using TableBytes = std::array<std::uint8_t, places::count>;

// Every read of the image takes a shared lock on it, every save an exclusive
// one (flock), waiting up to 5 seconds for another program's lock, or not at
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

// Ok when the file at `path` holds the signature; the length is not checked.
FileResult testSignature(FileSystem& fileSystem, const std::string& path,
                         Locking locking = Locking::Wait);

// Reads the table bytes of the image at `path`; `found` is untouched unless
// all of them were read.
FileResult readTables(FileSystem& fileSystem, const std::string& path, TableBytes& found,
                      Locking locking = Locking::Wait);

// Writes `tables` into the image at `path`, all or nothing, under one lock
// on one descriptor from the read below to the last byte put back: the table
// blocks are reserved and their bytes read before the first write, so that a
// failed write can put back what landed. `beforeWriting` sees those bytes
// and may change `tables`; when it returns anything but Ok, nothing is
// written and its result is returned. The path must still name the opened
// file before the first write and after the flush, and the file keep its
// length (Replaced, LengthChanged). A stop signal waits until the writes are
// over.
FileResult writeTables(FileSystem& fileSystem, const std::string& path, const TableBytes& tables,
                       const std::function<FileResult(const TableBytes& found)>& beforeWriting,
                       Locking locking = Locking::Wait);

} // namespace image
