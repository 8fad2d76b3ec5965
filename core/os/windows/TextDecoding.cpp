#include "TextDecoding.h"

#include "WindowsText.h"

#include <algorithm>
#include <array>

namespace {

// The five bytes Windows-1252 leaves undefined, which MultiByteToWideChar
// passes as control characters: here they are no text, as in glibc.
constexpr std::array<char, 5> undefinedIn1252{'\x81', '\x8D', '\x8F', '\x90', '\x9D'};

bool isUndefinedIn1252(char byte) {
    return std::ranges::find(undefinedIn1252, byte) != undefinedIn1252.end();
}

// `bytes` in UTF-16 through MultiByteToWideChar of `codePage`; false when a
// byte does not decode.
bool toUtf16(UINT codePage, std::string_view bytes, std::wstring& utf16) {
    utf16.clear();
    if (bytes.empty())
        return true;
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                         int(bytes.size()), nullptr, 0);
    if (size == 0)
        return false;
    utf16.resize(std::size_t(size));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                        utf16.data(), size);
    return true;
}

// UTF-16 code units from `bytes`, two by two in the given order; an odd
// last byte is left out.
std::wstring unitsOf(std::string_view bytes, bool bigEndian) {
    std::wstring units;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[at]);
        const unsigned second = static_cast<unsigned char>(bytes[at + 1]);
        units += wchar_t(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return units;
}

bool isHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-16 in UTF-8, each unpaired surrogate as U+FFFD, and U+FFFD for a
// byte cut off by the end; false, with `whole`, where any unit is so.
std::string utf8OfUnits(std::wstring_view units, bool oddByte, bool& whole) {
    std::string utf8;
    whole = !oddByte;
    std::size_t start = 0;
    for (std::size_t at = 0; at < units.size(); ++at) {
        const bool paired =
            isHighSurrogate(units[at]) && at + 1 < units.size() && isLowSurrogate(units[at + 1]);
        if (paired) {
            ++at;
            continue;
        }
        if (isHighSurrogate(units[at]) || isLowSurrogate(units[at])) {
            utf8 += utf8Of(units.substr(start, at - start));
            utf8 += replacementCharacter;
            start = at + 1;
            whole = false;
        }
    }
    utf8 += utf8Of(units.substr(start));
    if (oddByte)
        utf8 += replacementCharacter;
    return utf8;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian, bool& whole) {
    return utf8OfUnits(unitsOf(bytes, bigEndian), bytes.size() % 2 != 0, whole);
}

// Windows-1252 in UTF-8, each undefined byte as U+FFFD.
std::string windows1252ToUtf8(std::string_view bytes) {
    std::string utf8;
    std::wstring utf16;
    while (!bytes.empty()) {
        const auto undefined = std::ranges::find_if(bytes, isUndefinedIn1252);
        const std::size_t defined = std::size_t(undefined - bytes.begin());
        toUtf16(1252, bytes.substr(0, defined), utf16);
        utf8 += utf8Of(utf16);
        if (defined == bytes.size())
            break;
        utf8 += replacementCharacter;
        bytes.remove_prefix(defined + 1);
    }
    return utf8;
}

} // namespace

bool isWholeText(Encoding encoding, std::string_view bytes) {
    std::wstring utf16;
    bool whole = true;
    switch (encoding) {
    case Encoding::Utf8:
        return toUtf16(CP_UTF8, bytes, utf16);
    case Encoding::Windows1252:
        return std::ranges::none_of(bytes, isUndefinedIn1252);
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian:
        utf16ToUtf8(bytes, encoding == Encoding::Utf16BigEndian, whole);
        break;
    }
    return whole;
}

std::string decodedToUtf8(Encoding encoding, std::string_view bytes) {
    if (encoding == Encoding::Windows1252)
        return windows1252ToUtf8(bytes);
    bool whole = true;
    return utf16ToUtf8(bytes, encoding == Encoding::Utf16BigEndian, whole);
}
