#pragma once

#include <cstdint>
#include <string>

// A number as the programs' messages write it: 439654 -> "439,654".
std::string withThousands(std::uint64_t number);
