#pragma once

#include <cstdint>
#include <string>

// A number as tarvon-tables' messages write it, the same in every locale:
// 439654 -> "439,654". The editor groups digits in the user's locale instead.
std::string withThousands(std::uint64_t number);
