#pragma once

#include "ImageFile.h"

#include <string>
#include <vector>

// One line per entry that differs, such as "health 1A: 120 -> 95". Each of
// the 13 bytes that are both a health and a damage byte is listed as both.
std::vector<std::string> tableDifferences(const image::TableBytes& before,
                                          const image::TableBytes& after);
