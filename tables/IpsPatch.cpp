#include "IpsPatch.h"

#include <cstdint>
#include <iterator>
#include <map>

std::vector<Byte> ipsPatch(const TableValues& original, const TableValues& modified,
                           places::Layout layout, std::span<const image::ChecksumFields> checksum) {
    // Image offset -> new byte, in the order the save writes them.
    std::map<std::uint32_t, Byte> changes;
    const auto compare = [&changes](std::uint32_t offset, Byte before, Byte after) {
        if (before != after)
            changes[offset] = after;
    };
    const places::TableOffsets at = places::tableOffsets(layout);
    for (std::uint32_t i = 0; i < Core::damageTableSize; ++i)
        compare(at.damageTable + i, original.damageTable[i], modified.damageTable[i]);
    for (std::uint32_t slot = 0; slot < Core::enemyCount; ++slot)
        compare(at.enemyHealth + slot, original.health[slot], modified.health[slot]);
    for (std::uint32_t slot = 0; slot < Core::enemyCount; ++slot)
        compare(at.enemyDamage + slot, original.damage[slot], modified.damage[slot]);
    for (const image::ChecksumFields& fields : checksum)
        for (std::uint32_t i = 0; i < fields.after.size(); ++i)
            compare(places::fileOffset(fields.romOffset + i, layout), fields.before[i],
                    fields.after[i]);

    std::vector<Byte> patch{'P', 'A', 'T', 'C', 'H'};
    for (auto run = changes.begin(); run != changes.end();) {
        auto end = std::next(run);
        while (end != changes.end() && end->first == std::prev(end)->first + 1)
            ++end;
        const auto size = static_cast<std::uint32_t>(std::distance(run, end));
        patch.insert(patch.end(), {Byte(run->first >> 16), Byte(run->first >> 8), Byte(run->first),
                                   Byte(size >> 8), Byte(size)});
        for (; run != end; ++run)
            patch.push_back(run->second);
    }
    patch.insert(patch.end(), {'E', 'O', 'F'});
    return patch;
}
