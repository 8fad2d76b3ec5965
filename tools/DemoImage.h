#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A synthetic game image: pseudo-random filler from `seed`, the four signature
// bytes, and tables of plausible values (health 1..255, damage bytes with sets
// 0..9 and a mix of high bits, damage rows rising with the set). It contains
// nothing of any real image.
std::vector<std::uint8_t> makeSyntheticImage(std::size_t size, std::uint32_t seed);
