#include "TextConverter.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace {
const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD"; // U+FFFD in UTF-8
} // namespace

TextConverter::TextConverter(const char* from, const char* to)
    : converter(::iconv_open(to, from)) {}

TextConverter::~TextConverter() {
    if (converter != noConverter)
        ::iconv_close(converter);
}

bool TextConverter::convertsWhole(std::string_view bytes) {
    return convert(
        bytes, [](std::string_view) {}, std::nullopt);
}

void TextConverter::convertReplacing(std::string_view bytes, std::size_t unitSize,
                                     const Take& take) {
    convert(bytes, take, unitSize);
}

bool TextConverter::convert(std::string_view bytes, const Take& take,
                            std::optional<std::size_t> replacedUnitSize) {
    if (converter == noConverter)
        return false;
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr); // back to the initial state
    std::array<char, 4096> piece;                           // written by iconv before it is read
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    for (;;) {
        char* outAt = piece.data();
        std::size_t outLeft = piece.size();
        const bool whole =
            ::iconv(converter, &in, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1);
        const int error = errno;
        take(std::string_view(piece.data(), static_cast<std::size_t>(outAt - piece.data())));
        if (whole)
            return true;
        if (error == E2BIG)
            continue; // the piece is full
        // EILSEQ, or EINVAL for a unit cut off by the end of the input.
        if (!replacedUnitSize)
            return false;
        const std::size_t skipped = std::min(*replacedUnitSize, inLeft);
        in += skipped;
        inLeft -= skipped;
        take(replacementCharacter);
    }
}
