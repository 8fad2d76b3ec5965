#pragma once

#include "TablePlaces.h"

#include <bitset>
#include <cstdint>

// What one operation of the store changed, told to its listener once at the
// operation's end: an edit, an undo or redo, a load, a save, a merge, values
// taken from another program. An operation that changed neither is told
// nothing.
struct TableChange {
    // The table places (see TablePlaces.h) whose value in memory changed; a
    // load names every place.
    std::bitset<places::count> places;
    // Whether the unsaved state (Core::isModified) flipped.
    bool modifiedFlipped = false;

    bool namesHealth(std::uint8_t slot) const { return places[places::ofHealth(slot)]; }
    bool namesDamageByte(std::uint8_t slot) const { return places[places::ofDamageByte(slot)]; }
    // Whether a byte of damage set `set` (0 to 15) changed.
    bool namesDamageSet(std::size_t set) const {
        return places[places::damageTableIndex(set, 1)] ||
               places[places::damageTableIndex(set, 2)] || places[places::damageTableIndex(set, 3)];
    }

    bool operator==(const TableChange&) const = default;
};
