#pragma once

#include "ImageFile.h"

#include <cstdint>
#include <span>
#include <vector>

// An IPS patch that turns the table bytes of `original` into those of
// `modified`, and the checksum's fields from what they were to what they
// become: one record per run of differing bytes, at their offsets in an
// image of `layout`.
std::vector<std::uint8_t> ipsPatch(const image::TableBytes& original,
                                   const image::TableBytes& modified, places::Layout layout,
                                   std::span<const image::ChecksumFields> checksum);
