#pragma once

// Synthetic images in either layout, and their own checksum as emulators
// reckon it, for the tests of the store and of tarvon-tables.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// `image` without its first 512 bytes, the copier header.
inline Bytes withoutHeader(const Bytes& image) {
    return {image.begin() + 0x200, image.end()};
}

// The sum of the bytes from `romStart` on, where the part past the largest
// power of two is one, or none: it counts as often as it fits into it.
inline std::uint16_t emulatorChecksum(std::span<const std::uint8_t> image, std::size_t romStart) {
    const auto rom = image.subspan(romStart);
    const std::size_t whole = std::bit_floor(rom.size()), rest = rom.size() - whole;
    const unsigned restSum = std::accumulate(rom.begin() + whole, rom.end(), 0u);
    return std::uint16_t(std::accumulate(rom.begin(), rom.begin() + whole, 0u) +
                         (rest > 0 ? restSum * (whole / rest) : 0));
}

// The complement and the checksum of the internal header at `header`.
inline std::array<std::uint16_t, 2> checksumFields(std::span<const std::uint8_t> image,
                                                   std::size_t romStart, std::size_t header) {
    const std::size_t at = romStart + header + 0x1C;
    return {std::uint16_t(image[at] | image[at + 1] << 8),
            std::uint16_t(image[at + 2] | image[at + 3] << 8)};
}

inline bool checksumIsRight(std::span<const std::uint8_t> image, std::size_t romStart,
                            std::size_t header) {
    const auto [complement, checksum] = checksumFields(image, romStart, header);
    return checksum == emulatorChecksum(image, romStart) && (complement ^ checksum) == 0xFFFF;
}

// A checksum and its complement sum to 0x1FE bytewise, whatever the checksum.
inline Bytes withRightChecksum(Bytes image, std::size_t romStart, std::size_t header) {
    const auto at = image.begin() + std::ptrdiff_t(romStart + header + 0x1C);
    std::ranges::copy(Bytes{0xFF, 0xFF, 0, 0}, at);
    const std::uint16_t sum = emulatorChecksum(image, romStart), complement = ~sum;
    std::ranges::copy(Bytes{std::uint8_t(complement), std::uint8_t(complement >> 8),
                            std::uint8_t(sum), std::uint8_t(sum >> 8)},
                      at);
    return image;
}
