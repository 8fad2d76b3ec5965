#pragma once

#include "EditJournal.h"

#include <cstdint>
#include <span>
#include <vector>

// A table byte that both this program and another one changed, to different
// values.
struct Conflict {
    std::size_t place = 0;
    std::uint8_t base = 0;   // what the file held when it was last loaded or saved
    std::uint8_t theirs = 0; // what the file holds now
    std::uint8_t mine = 0;   // what memory holds

    bool operator==(const Conflict&) const = default;
};

// Another program's changes to the tables, byte by byte, against this
// program's: `base` is what the file held after the last load or save,
// `tried` what a save that may have partly written the file tried to write
// (a byte found as tried is this program's, not another's), `mine` memory
// and `theirs` the file now.
struct MergePlan {
    std::vector<ByteChange> taken;   // only they changed it: from mine to theirs
    std::vector<std::size_t> agreed; // both changed it, to the same value
    std::vector<Conflict> conflicts; // both changed it, to different values
    std::size_t changedByThem() const { return taken.size() + agreed.size() + conflicts.size(); }
};

MergePlan planMerge(std::span<const std::uint8_t> base, std::span<const std::uint8_t> tried,
                    std::span<const std::uint8_t> mine, std::span<const std::uint8_t> theirs);
