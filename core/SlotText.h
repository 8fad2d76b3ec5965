#pragma once

#include <cstddef>
#include <string>
#include <vector>

// An enemy slot as the enemy editor's list writes it, in hexadecimal without
// a leading zero: "A", "1A".
std::string listSlot(std::size_t slot);

// An enemy slot in two hexadecimal digits: "0A", "1A".
std::string twoDigitSlot(std::size_t slot);

// Of a list of slots, those a message names, in order (all of up to four,
// else the first three), and how many more it only counts.
struct SlotListing {
    std::vector<std::size_t> named;
    std::size_t more = 0;
};
SlotListing listingOf(const std::vector<std::size_t>& slots);
