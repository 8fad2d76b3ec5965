#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>

namespace {

bool isAscii(char c) {
    return (static_cast<unsigned char>(c) & 0x80) == 0;
}

// glibc's converter to UTF-32, opened at the first use and kept for the run
// (the store runs on one thread): its UTF-8 to UTF-8 lets values beyond
// U+10FFFF pass.
iconv_t toUtf32() {
    static const iconv_t converter = ::iconv_open("UTF-32LE", "UTF-8");
    return converter;
}

// Whether all of `run` converts; the UTF-32 made is dropped, a piece at a
// time, so that a long run needs no buffer of its own size.
bool converts(std::string_view run) {
    const iconv_t converter = toUtf32();
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr); // back to the initial state
    char* in = const_cast<char*>(run.data());
    std::size_t inLeft = run.size();
    std::array<char, 4096> piece;
    for (;;) {
        char* out = piece.data();
        std::size_t outLeft = piece.size();
        if (::iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1))
            return true;
        if (errno != E2BIG) // EILSEQ, or EINVAL for a sequence cut off at the end
            return false;
    }
}

} // namespace

// Every character of more than one byte in UTF-8 is made of bytes above 127,
// so text is UTF-8 exactly when each run of such bytes is. glibc judges the
// runs; the ASCII between them, most of a long name, needs no conversion.
bool isStrictUtf8(std::string_view bytes) {
    auto at = bytes.begin();
    while ((at = std::find_if_not(at, bytes.end(), isAscii)) != bytes.end()) {
        const auto runEnd = std::find_if(at, bytes.end(), isAscii);
        if (!converts(std::string_view(at, runEnd)))
            return false;
        at = runEnd;
    }
    return true;
}
