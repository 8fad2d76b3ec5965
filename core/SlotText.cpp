#include "SlotText.h"

#include <string_view>

namespace {
constexpr std::string_view digits = "0123456789ABCDEF";
}

std::string listSlot(std::size_t slot) {
    return slot < 16 ? std::string{digits[slot]} : twoDigitSlot(slot);
}

std::string twoDigitSlot(std::size_t slot) {
    return {digits[slot / 16 % 16], digits[slot % 16]};
}

SlotListing listingOf(const std::vector<std::size_t>& slots) {
    constexpr std::size_t listed = 3; // five or more: three, and a count
    if (slots.size() <= listed + 1)
        return {{slots.begin(), slots.end() - 1}, slots.back(), 0};
    return {{slots.begin(), slots.begin() + listed}, 0, slots.size() - listed};
}
