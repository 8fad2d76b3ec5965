// Feeds any text to the value check and compares it with a plain reading of
// the rule: a non-empty run of ASCII digits whose value is below 256.
#include "Core.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The value of an all-digit text, capped at 1000 so that no text overflows.
std::optional<Byte> expectedByte(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min(value * 10 + (c - '0'), 1000);
    }
    if (value > 255)
        return std::nullopt;
    return static_cast<Byte>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<Byte> expected = expectedByte(text);
    if (Core::byteFromText(text) != expected || Core::isByteText(text) != expected.has_value())
        std::abort();
    // What the windows show for a stored value must read back as that value.
    if (expected && Core::byteFromText(std::to_string(*expected)) != expected)
        std::abort();
    return 0;
}
