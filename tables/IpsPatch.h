#pragma once

#include "TableValues.h"

#include <vector>

// An IPS patch that turns the image bytes of `original` into those of
// `modified`, and the checksum's fields from what they were to what they
// become: one record per run of differing bytes, at their offsets in an
// image of `layout`.
std::vector<Byte> ipsPatch(const TableValues& original, const TableValues& modified,
                           places::Layout layout, std::span<const image::ChecksumFields> checksum);
