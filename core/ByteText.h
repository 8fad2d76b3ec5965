#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The value of a text that is a byte value: a non-empty text of ASCII digits
// whose value is below 256, leading zeros allowed; nothing otherwise.
std::optional<std::uint8_t> byteFromText(std::string_view text);
