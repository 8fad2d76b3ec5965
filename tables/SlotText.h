#pragma once

#include <cstddef>
#include <string>

// A slot as tarvon-tables writes it everywhere: two hex digits, "0A".
std::string twoDigitSlot(std::size_t slot);
