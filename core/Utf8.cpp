#include "Utf8.h"

#include "TextDecoding.h"

#include <algorithm>

namespace {

bool isAscii(char c) {
    return (static_cast<unsigned char>(c) & 0x80) == 0;
}

} // namespace

// Every character of more than one byte in UTF-8 is made of bytes above 127,
// so text is UTF-8 exactly when each run of such bytes is. The system's
// converter judges the runs; the ASCII between them, most of a long name, needs no conversion.
bool isStrictUtf8(std::string_view bytes) {
    auto at = bytes.begin();
    while ((at = std::find_if_not(at, bytes.end(), isAscii)) != bytes.end()) {
        const auto runEnd = std::find_if(at, bytes.end(), isAscii);
        if (!isWholeText(Encoding::Utf8, std::string_view(at, runEnd)))
            return false;
        at = runEnd;
    }
    return true;
}
