#include "ByteText.h"

#include <algorithm>

std::optional<std::uint8_t> byteFromText(std::string_view text) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || !std::ranges::all_of(text, isDigit))
        return std::nullopt;
    // Leading zeros carry no value, so any number of them is fine; at most
    // three significant digits remain to be added up.
    const std::string_view significant =
        text.substr(std::min(text.find_first_not_of('0'), text.size()));
    if (significant.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const char c : significant)
        value = value * 10 + (c - '0');
    if (value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}
