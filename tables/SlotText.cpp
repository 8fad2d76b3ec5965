#include "SlotText.h"

std::string twoDigitSlot(std::size_t slot) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    return {digits[(slot >> 4) & 0x0F], digits[slot & 0x0F]};
}
