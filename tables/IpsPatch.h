#pragma once

#include "TableValues.h"

#include <vector>

// An IPS patch that turns the image bytes of `original` into those of
// `modified`: one record per run of differing bytes, at their image offsets.
std::vector<Byte> ipsPatch(const TableValues& original, const TableValues& modified);
