#pragma once

#include "ImageFile.h"

#include <cstdint>
#include <vector>

// An IPS patch that turns the table bytes of `original` into those of
// `modified`: one record per run of differing bytes, at their image offsets.
std::vector<std::uint8_t> ipsPatch(const image::TableBytes& original,
                                   const image::TableBytes& modified);
