#include "TextDecoding.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <optional>

namespace {

// One of glibc's converters into UTF-8 (UTF-32 to judge UTF-8), opened at its
// first use and kept for the run, closed at its end: opening one costs more
// than converting a name. The store runs on one thread. Input is fed through
// it a small piece at a time, so that a long input needs no output buffer of
// its own size.
class Converter {
public:
    explicit Converter(Encoding from) : converter(::iconv_open(targetOf(from), nameOf(from))) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (converter != noConverter)
            ::iconv_close(converter);
    }

    // Converts `bytes` into `take` up to the end, or, without
    // `replacedUnitSize`, up to a unit that does not convert; true at the
    // end. A unit that does not convert becomes U+FFFD.
    template <class Take>
    bool convert(std::string_view bytes, const Take& take,
                 std::optional<std::size_t> replacedUnitSize) {
        if (converter == noConverter)
            return false;
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        std::array<char, 4096> piece; // written by iconv before it is read
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

private:
    static inline const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);

    static const char* nameOf(Encoding encoding) {
        switch (encoding) {
        case Encoding::Utf8:
            return "UTF-8";
        case Encoding::Utf16LittleEndian:
            return "UTF-16LE";
        case Encoding::Utf16BigEndian:
            return "UTF-16BE";
        case Encoding::Windows1252:
            break;
        }
        return "WINDOWS-1252";
    }
    // glibc's UTF-8 to UTF-8 lets values beyond U+10FFFF pass: UTF-8 is
    // judged by its conversion to UTF-32.
    static const char* targetOf(Encoding from) {
        return from == Encoding::Utf8 ? "UTF-32LE" : "UTF-8";
    }

    iconv_t converter;
};

Converter& converterOf(Encoding encoding) {
    static Converter utf8(Encoding::Utf8), utf16Little(Encoding::Utf16LittleEndian),
        utf16Big(Encoding::Utf16BigEndian), windows1252(Encoding::Windows1252);
    switch (encoding) {
    case Encoding::Utf8:
        return utf8;
    case Encoding::Utf16LittleEndian:
        return utf16Little;
    case Encoding::Utf16BigEndian:
        return utf16Big;
    case Encoding::Windows1252:
        break;
    }
    return windows1252;
}

std::size_t unitSizeOf(Encoding encoding) {
    return encoding == Encoding::Utf16LittleEndian || encoding == Encoding::Utf16BigEndian ? 2 : 1;
}

} // namespace

bool isWholeText(Encoding encoding, std::string_view bytes) {
    return converterOf(encoding).convert(
        bytes, [](std::string_view) {}, std::nullopt);
}

std::string decodedToUtf8(Encoding encoding, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    converterOf(encoding).convert(
        bytes, [&out](std::string_view piece) { out += piece; }, unitSizeOf(encoding));
    return out;
}
