#pragma once

#include "TablePlaces.h"

#include <bitset>

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

    bool operator==(const TableChange&) const = default;
};
