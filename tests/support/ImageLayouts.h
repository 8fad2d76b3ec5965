#pragma once

// Synthetic images in the layouts people keep, and their own checksum as
// emulators reckon it, for the tests of the store and of tarvon-tables.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

// `image` without its first 512 bytes, the copier header.
inline std::vector<std::uint8_t> withoutHeader(const std::vector<std::uint8_t>& image) {
    return {image.begin() + 0x200, image.end()};
}

// The sum of the ROM's bytes (the image's from `romStart` on) as emulators
// take it, where the part past the largest power of two is itself one, or
// none: that part counts as often as it fits into the largest power of two.
inline std::uint16_t emulatorChecksum(std::span<const std::uint8_t> image, std::size_t romStart) {
    const auto rom = image.subspan(romStart);
    const std::size_t whole = std::bit_floor(rom.size()), rest = rom.size() - whole;
    const std::uint32_t sum = std::accumulate(rom.begin(), rom.begin() + whole, 0u);
    const std::uint32_t restSum = std::accumulate(rom.begin() + whole, rom.end(), 0u);
    return std::uint16_t(sum + (rest > 0 ? restSum * (whole / rest) : 0));
}

// Whether the internal header at the ROM offset `header` holds the right
// checksum, and its complement before it.
inline bool checksumIsRight(std::span<const std::uint8_t> image, std::size_t romStart,
                            std::size_t header) {
    const std::size_t at = romStart + header + 0x1C;
    const std::uint16_t complement = std::uint16_t(image[at] | image[at + 1] << 8);
    const std::uint16_t checksum = std::uint16_t(image[at + 2] | image[at + 3] << 8);
    return checksum == emulatorChecksum(image, romStart) && (complement ^ checksum) == 0xFFFF;
}

// `image` with a right checksum in its internal header at `header`.
inline std::vector<std::uint8_t> withRightChecksum(std::vector<std::uint8_t> image,
                                                   std::size_t romStart, std::size_t header) {
    const auto at = image.begin() + std::ptrdiff_t(romStart + header + 0x1C);
    std::ranges::copy(std::vector<std::uint8_t>{0xFF, 0xFF, 0, 0}, at);
    const std::uint16_t sum = emulatorChecksum(image, romStart);
    const std::uint16_t complement = std::uint16_t(~sum);
    std::ranges::copy(std::vector<std::uint8_t>{std::uint8_t(complement),
                                                std::uint8_t(complement >> 8), std::uint8_t(sum),
                                                std::uint8_t(sum >> 8)},
                      at);
    return image;
}
