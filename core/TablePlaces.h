#pragma once

#include <cstddef>
#include <cstdint>

// The table bytes of an image, numbered by their place: first the 50 bytes of
// the damage table, then the 499 bytes from the first enemy health to the last
// enemy damage byte, in file order. The health of slots F3 to FF and the
// damage bytes of slots 00 to 0C are the same 13 places.
namespace places {

// An image holds the game's own bytes either after a copier header of 512
// bytes, as copiers wrote them, or from its first byte. The header's size is
// the one difference between the two layouts: a place in the file is its
// place in the game's own bytes (its ROM offset) plus the header's size.
enum class Layout { Headered, Headerless };
constexpr std::uint32_t copierHeaderSize = 0x200;
constexpr std::uint32_t headerSize(Layout layout) {
    return layout == Layout::Headered ? copierHeaderSize : 0;
}
constexpr std::uint32_t fileOffset(std::uint32_t romOffset, Layout layout) {
    return romOffset + headerSize(layout);
}

// Where the three tables lie in the file of an image of `layout`.
struct TableOffsets {
    std::uint32_t damageTable, enemyHealth, enemyDamage;
};
constexpr TableOffsets tableOffsets(Layout layout) {
    return {fileOffset(0x37427, layout), fileOffset(0x6B173, layout), fileOffset(0x6B266, layout)};
}

// The internal header of a cartridge image lies at one of two ROM offsets;
// it holds the complement of the image's own checksum and then the checksum,
// each 16 bits, little-endian.
constexpr std::uint32_t internalHeaders[] = {0x7FC0, 0xFFC0};
constexpr std::uint32_t checksumComplementAt = 0x1C;
constexpr std::size_t checksumFieldsSize = 4; // the complement, then the checksum

// The offsets of an image with a copier header.
constexpr std::uint32_t damageTableOffset = tableOffsets(Layout::Headered).damageTable;
constexpr std::size_t damageTableSize = 50;
constexpr std::uint32_t enemyHealthOffset = tableOffsets(Layout::Headered).enemyHealth;
constexpr std::uint32_t enemyDamageOffset = tableOffsets(Layout::Headered).enemyDamage;
constexpr std::size_t enemyCount = 256;
constexpr std::size_t enemyBytesSize = enemyDamageOffset + enemyCount - enemyHealthOffset;
constexpr std::size_t count = damageTableSize + enemyBytesSize; // 549
// The damage table holds 16 sets of three bytes, one per armour level; its
// last two bytes belong to no set.
constexpr std::size_t setCount = 16;
constexpr std::size_t firstLooseByte = setCount * 3;
// The health of the last slots, from F3, is the damage byte of the first
// ones, from 00.
constexpr std::size_t firstSharedHealthSlot = enemyDamageOffset - enemyHealthOffset;
constexpr std::size_t sharedByteCount = enemyCount - firstSharedHealthSlot;

constexpr std::size_t ofDamageTableByte(std::size_t index) {
    return index;
}
// The damage table byte of damage set `set` (0 to 15) for armour level
// `armour` (1 to 3).
constexpr std::size_t damageTableIndex(std::size_t set, int armour) {
    return set * 3 + std::size_t(armour - 1);
}
// The damage set and the armour level of damage table byte `index`, below
// firstLooseByte: the other way round.
constexpr std::size_t setOfDamageTableByte(std::size_t index) {
    return index / 3;
}
constexpr int armourOfDamageTableByte(std::size_t index) {
    return int(index % 3) + 1;
}

// An enemy's damage byte names its damage set in its low four bits; the
// upper four bits are not the set's and stay as they are when it changes.
constexpr std::uint8_t setBits = 0x0F;
constexpr std::uint8_t damageSetOf(std::uint8_t damageByte) {
    return damageByte & setBits;
}
constexpr std::uint8_t withDamageSet(std::uint8_t damageByte, std::uint8_t set) {
    return static_cast<std::uint8_t>((damageByte & ~setBits) | (set & setBits));
}
constexpr std::size_t ofHealth(std::uint8_t slot) {
    return damageTableSize + slot;
}
constexpr std::size_t ofDamageByte(std::uint8_t slot) {
    return damageTableSize + firstSharedHealthSlot + slot;
}

constexpr bool isDamageTableByte(std::size_t place) {
    return place < damageTableSize;
}
constexpr bool isHealth(std::size_t place) {
    return place >= ofHealth(0) && place <= ofHealth(0xFF);
}
// The file offset of the table byte at `place` in an image of `layout`.
constexpr std::uint32_t fileOffsetOfPlace(std::size_t place, Layout layout) {
    const TableOffsets at = tableOffsets(layout);
    return std::uint32_t(isDamageTableByte(place) ? at.damageTable + place
                                                  : at.enemyHealth + place - damageTableSize);
}

constexpr bool isDamageByte(std::size_t place) {
    return place >= ofDamageByte(0) && place < count;
}
// The slot whose health, or whose damage byte, is at `place`.
constexpr std::uint8_t healthSlot(std::size_t place) {
    return static_cast<std::uint8_t>(place - ofHealth(0));
}
constexpr std::uint8_t damageSlot(std::size_t place) {
    return static_cast<std::uint8_t>(place - ofDamageByte(0));
}

static_assert(damageTableIndex(15, 3) == firstLooseByte - 1);
static_assert(fileOffsetOfPlace(ofDamageByte(0xFF), Layout::Headered) == enemyDamageOffset + 0xFF);
static_assert(setOfDamageTableByte(damageTableIndex(9, 2)) == 9 &&
              armourOfDamageTableByte(damageTableIndex(9, 2)) == 2);
static_assert(withDamageSet(0xA7, 0x1C) == 0xAC && damageSetOf(0xAC) == 0x0C);
static_assert(damageTableOffset == 0x37627 && enemyHealthOffset == 0x6B373 &&
              enemyDamageOffset == 0x6B466);
static_assert(tableOffsets(Layout::Headerless).enemyDamage == 0x6B266);
static_assert(count == 549 && sharedByteCount == 13 && firstLooseByte == 48);
static_assert(ofHealth(0xF3) == ofDamageByte(0x00) && ofHealth(0xFF) == ofDamageByte(0x0C));

} // namespace places
