#pragma once

#include <cstddef>
#include <string>
#include <vector>

// An enemy slot as the enemy editor's list writes it, in hexadecimal without
// a leading zero: "A", "1A".
std::string listSlot(std::size_t slot);

// An enemy slot in two hexadecimal digits: "0A", "1A".
std::string twoDigitSlot(std::size_t slot);

// How a message lists slots, as each program words it: "slot 1A" alone;
// "slots 0, 1, 2 and 9": those named before "and", then the last; "slots 0,
// 1, 2 and 7 more": for five or more, three named, then a count of the rest.
struct SlotListing {
    // The slots named before "and", in order; none for a list of one.
    std::vector<std::size_t> named;
    // After "and", or alone: the last slot, or when `more` is not 0 the count
    // that stands in for it.
    std::size_t last = 0;
    std::size_t more = 0;
};
SlotListing listingOf(const std::vector<std::size_t>& slots);
