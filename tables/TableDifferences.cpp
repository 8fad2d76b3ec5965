#include "TableDifferences.h"

#include "SlotText.h"

namespace {

std::string change(const std::string& entry, Byte before, Byte after) {
    return entry + ": " + std::to_string(before) + " -> " + std::to_string(after);
}

} // namespace

std::vector<std::string> tableDifferences(const TableValues& before, const TableValues& after) {
    std::vector<std::string> lines;
    const auto compare = [&lines](const std::string& entry, Byte a, Byte b) {
        if (a != b)
            lines.push_back(change(entry, a, b));
    };
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        const std::string key = " " + twoDigitSlot(slot);
        const Byte a = before.damage[slot], b = after.damage[slot];
        compare("health" + key, before.health[slot], after.health[slot]);
        compare("damage_set" + key, a & 0x0F, b & 0x0F);
        compare("damage_high" + key, a >> 4, b >> 4);
    }
    for (std::size_t index = 0; index < places::firstLooseByte; ++index)
        compare("armor" + std::to_string(index % 3 + 1) + " set " + std::to_string(index / 3),
                before.damageTable[index], after.damageTable[index]);
    for (std::size_t index = places::firstLooseByte; index < Core::damageTableSize; ++index)
        compare("damage_table_byte " + std::to_string(index), before.damageTable[index],
                after.damageTable[index]);
    return lines;
}
