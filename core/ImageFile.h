#pragma once

#include "FileResult.h"
#include "FileSystem.h"
#include "TablePlaces.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The image file on disk: its signature test, and the reading and writing of
// its table bytes (see TablePlaces.h), and nothing else of it.
namespace image {

constexpr std::uint32_t signatureOffset = 0x400;
constexpr std::array<std::uint8_t, 4> signature{0xAD, 0x28, 0x01, 0xF0};
// The end of the enemy damage bytes, 0x6B566: an image is at least this long.
constexpr std::uint32_t minimumSize = places::enemyDamageOffset + places::enemyCount;

using TableBytes = std::array<std::uint8_t, places::count>;

// Ok when the file at `path` holds the signature; the length is not checked.
FileResult testSignature(FileSystem& fileSystem, const std::string& path);

// Reads the table bytes of the image at `path`; `found` is untouched unless
// all of them were read.
FileResult readTables(FileSystem& fileSystem, const std::string& path, TableBytes& found);

// Writes `tables` into the image at `path`, all or nothing: the table blocks
// are reserved and their bytes read before the first write, so that a failed
// write can put them back. `beforeWriting` sees those bytes and may change
// `tables`; when it returns anything but Ok, nothing is written and its result
// is returned. A stop signal waits until the writes are over.
FileResult writeTables(FileSystem& fileSystem, const std::string& path, const TableBytes& tables,
                       const std::function<FileResult(const TableBytes& found)>& beforeWriting);

} // namespace image
