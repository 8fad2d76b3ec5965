#pragma once

#include "TableValues.h"

#include <string>
#include <vector>

// One line per entry that differs, such as "health 1A: 120 -> 95".
std::vector<std::string> tableDifferences(const TableValues& before, const TableValues& after);
