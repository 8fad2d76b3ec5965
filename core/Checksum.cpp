#include "Checksum.h"

#include "TablePlaces.h"

#include <bit>
#include <numeric>

namespace checksum {
namespace {

std::uint16_t fieldAt(std::span<const std::uint8_t> rom, std::size_t offset) {
    return static_cast<std::uint16_t>(rom[offset] | rom[offset + 1] << 8);
}

void putField(std::span<std::uint8_t> rom, std::size_t offset, std::uint16_t value) {
    rom[offset] = static_cast<std::uint8_t>(value);
    rom[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

bool holdsFields(std::span<const std::uint8_t> rom, std::uint32_t header) {
    return header + places::checksumComplementAt + places::checksumFieldsSize <= rom.size();
}

} // namespace

std::uint16_t sumOf(std::span<const std::uint8_t> rom) {
    if (rom.empty())
        return 0;
    const std::size_t filled = std::bit_floor(rom.size());
    const std::span<const std::uint8_t> rest = rom.subspan(filled);
    std::uint64_t sum =
        std::accumulate(rom.begin(), rom.begin() + std::ptrdiff_t(filled), std::uint64_t{0});
    if (!rest.empty())
        sum += std::uint64_t{sumOf(rest)} * (filled / std::bit_ceil(rest.size()));
    return static_cast<std::uint16_t>(sum);
}

std::vector<std::uint32_t> rightHeaders(std::span<const std::uint8_t> rom) {
    std::vector<std::uint32_t> right;
    const std::uint16_t sum = sumOf(rom);
    for (const std::uint32_t header : places::internalHeaders) {
        if (!holdsFields(rom, header))
            continue;
        const std::size_t fields = header + places::checksumComplementAt;
        const std::uint16_t complement = fieldAt(rom, fields), checksum = fieldAt(rom, fields + 2);
        if (checksum == sum && (complement ^ checksum) == 0xFFFF)
            right.push_back(header);
    }
    return right;
}

// A checksum and its complement add four bytes that sum to 0x1FE whatever
// the checksum, so the sum with any such pair in place is the checksum.
void makeRight(std::span<std::uint8_t> rom, std::uint32_t header) {
    if (!holdsFields(rom, header))
        return;
    const std::size_t fields = header + places::checksumComplementAt;
    putField(rom, fields, 0xFFFF);
    putField(rom, fields + 2, 0);
    const std::uint16_t sum = sumOf(rom);
    putField(rom, fields, static_cast<std::uint16_t>(~sum));
    putField(rom, fields + 2, sum);
}

} // namespace checksum
