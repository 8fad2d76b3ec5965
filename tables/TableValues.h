#pragma once

#include "Core.h"

#include <array>
#include <cstddef>

// Every table entry of an image, as the data store holds them. The health of
// slots F3 to FF and the damage byte of slots 00 to 0C are the same image
// bytes; values read from an image always agree there.
struct TableValues {
    std::array<Byte, Core::enemyCount> health{};
    std::array<Byte, Core::enemyCount> damage{};
    std::array<Byte, Core::damageTableSize> damageTable{};
    bool operator==(const TableValues&) const = default;
};

TableValues tablesOf(const Core& core);
void storeTables(Core& core, const TableValues& values);
