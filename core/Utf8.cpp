#include "Utf8.h"

#include "TextConverter.h"

#include <algorithm>

namespace {

bool isAscii(char c) {
    return (static_cast<unsigned char>(c) & 0x80) == 0;
}

// glibc's converter to UTF-32, opened at the first use and kept for the run
// (the store runs on one thread), closed at its end: its UTF-8 to UTF-8 lets
// values beyond U+10FFFF pass.
TextConverter& toUtf32() {
    static TextConverter converter("UTF-8", "UTF-32LE");
    return converter;
}

} // namespace

// Every character of more than one byte in UTF-8 is made of bytes above 127,
// so text is UTF-8 exactly when each run of such bytes is. glibc judges the
// runs; the ASCII between them, most of a long name, needs no conversion.
bool isStrictUtf8(std::string_view bytes) {
    auto at = bytes.begin();
    while ((at = std::find_if_not(at, bytes.end(), isAscii)) != bytes.end()) {
        const auto runEnd = std::find_if(at, bytes.end(), isAscii);
        if (!toUtf32().convertsWhole(std::string_view(at, runEnd)))
            return false;
        at = runEnd;
    }
    return true;
}
