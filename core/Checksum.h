#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The image's own checksum, in its internal header (see TablePlaces.h): the
// sum of every byte of the game's own bytes (the ROM, without a copier
// header), modulo 0x10000. Where the ROM's size is not a power of two, the
// part past the largest power of two is taken again and again until it fills
// the next one, itself summed the same way, as emulators compute it. It is
// right where the checksum equals the sum and the complement is its
// complement (the two add up to 0xFFFF).
namespace checksum {

std::uint16_t sumOf(std::span<const std::uint8_t> rom);

// The ROM offsets of the internal headers in `rom` whose checksum is right.
std::vector<std::uint32_t> rightHeaders(std::span<const std::uint8_t> rom);

// Makes the internal header at the ROM offset `header` hold the right
// checksum of `rom`, the rest of it as it is.
void makeRight(std::span<std::uint8_t> rom, std::uint32_t header);

} // namespace checksum
