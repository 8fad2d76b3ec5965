#include "TableDifferences.h"

#include "SlotText.h"

std::vector<std::string> tableDifferences(const image::TableBytes& before,
                                          const image::TableBytes& after) {
    std::vector<std::string> lines;
    const auto compare = [&lines](const std::string& entry, unsigned a, unsigned b) {
        if (a != b)
            lines.push_back(entry + ": " + std::to_string(a) + " -> " + std::to_string(b));
    };
    const auto comparePlace = [&](const std::string& entry, std::size_t place) {
        compare(entry, before[place], after[place]);
    };
    for (std::size_t slot = 0; slot < places::enemyCount; ++slot) {
        const std::string key = " " + twoDigitSlot(slot);
        const std::size_t damage = places::ofDamageByte(std::uint8_t(slot));
        comparePlace("health" + key, places::ofHealth(std::uint8_t(slot)));
        compare("damage_set" + key, places::damageSetOf(before[damage]),
                places::damageSetOf(after[damage]));
        compare("damage_high" + key, damageHighOf(before[damage]), damageHighOf(after[damage]));
    }
    for (std::size_t set = 0; set < places::setCount; ++set)
        for (int armour = 1; armour <= 3; ++armour)
            comparePlace("armor" + std::to_string(armour) + " set " + std::to_string(set),
                         places::ofDamageTableByte(places::damageTableIndex(set, armour)));
    for (std::size_t index = places::firstLooseByte; index < places::damageTableSize; ++index)
        comparePlace("damage_table_byte " + std::to_string(index),
                     places::ofDamageTableByte(index));
    return lines;
}

std::string sharedByteChoice(const SharedByteCells& cells, SharedByteRule rule) {
    const std::uint8_t damage = cells.damageByte;
    const std::string health = "health " + std::to_string(cells.health);
    const std::string damageByte = "damage byte " + std::to_string(damage) + " (damage_set " +
                                   std::to_string(places::damageSetOf(damage)) + ", damage_high " +
                                   std::to_string(damageHighOf(damage)) + ")";
    const bool healthWins = rule == SharedByteRule::HealthWins;
    return "health " + twoDigitSlot(cells.healthSlot) + " / damage byte " +
           twoDigitSlot(cells.healthSlot - places::firstSharedHealthSlot) + ": " +
           (healthWins ? health : damageByte) + " taken, " + (healthWins ? damageByte : health) +
           " overridden";
}
