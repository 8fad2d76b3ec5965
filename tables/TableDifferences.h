#pragma once

#include "ImageFile.h"
#include "TableCsv.h"

#include <string>
#include <vector>

// One line per entry that differs, such as "health 1A: 120 -> 95". Each of
// the 13 bytes that are both a health and a damage byte is listed as both.
std::vector<std::string> tableDifferences(const image::TableBytes& before,
                                          const image::TableBytes& after);

// The line that says which cell of a shared byte whose cells disagreed was
// taken by `rule` and which overridden, with both values, such as "health
// F3 / damage byte 00: health 77 taken, damage byte 16 (damage_set 0,
// damage_high 1) overridden".
std::string sharedByteChoice(const SharedByteCells& cells, SharedByteRule rule);
