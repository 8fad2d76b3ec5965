#pragma once

#include <cstdint>
#include <optional>

class QString;

// The value of a box's text when it is a byte value (digits "0" to "9" only,
// below 256); nothing otherwise. The windows accept a typed value only then.
std::optional<std::uint8_t> byteFromText(const QString& text);
