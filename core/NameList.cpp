#include "NameList.h"

#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <optional>

namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// glibc's converters, each opened at its first use and kept for the run:
// opening one costs more than converting a name. The store runs on one thread.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (const auto& [encodings, converter] : opened)
            if (converter != failed)
                ::iconv_close(converter);
    }

    static inline const iconv_t failed = reinterpret_cast<iconv_t>(-1);

    // From `from` to `to`; `failed` where glibc has no such conversion.
    iconv_t get(const char* from, const char* to) {
        const auto [found, added] = opened.try_emplace({from, to});
        if (added)
            found->second = ::iconv_open(to, from);
        return found->second;
    }

private:
    std::map<std::pair<std::string, std::string>, iconv_t> opened;
};

// glibc's converter from the encoding `from` to `to`; Converters::failed
// where it has none.
iconv_t converter(const char* from, const char* to) {
    static Converters converters;
    return converters.get(from, to);
}

// Feeds `bytes` through `converter`, a small piece at a time, and hands each
// converted piece to `take`, so that a long input needs no output buffer of
// its own size. A unit of `unitSize` bytes that does not convert becomes
// U+FFFD (the target must be UTF-8). False when there is no converter.
template <typename Take>
bool convertInPieces(iconv_t converter, std::string_view bytes, std::size_t unitSize, Take take) {
    if (converter == Converters::failed)
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
        const std::size_t skipped = std::min(unitSize, inLeft);
        in += skipped;
        inLeft -= skipped;
        take(replacementCharacter);
    }
}

// The whole conversion of `bytes` from `from` to `to`, as convertInPieces
// makes it; nothing when glibc has no such conversion.
std::optional<std::string> convertEncoding(std::string_view bytes, const char* from, const char* to,
                                           std::size_t unitSize) {
    std::string out;
    out.reserve(bytes.size());
    if (!convertInPieces(converter(from, to), bytes, unitSize,
                         [&out](std::string_view piece) { out += piece; }))
        return std::nullopt;
    return out;
}

std::string fromWindows1252(std::string_view bytes) {
    return convertEncoding(bytes, "WINDOWS-1252", "UTF-8", 1).value_or(std::string());
}

// The first `count` characters of valid UTF-8 text: up to the lead byte of
// the next one.
std::string_view firstCharacters(std::string_view utf8, std::size_t count) {
    const auto isLeadByte = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
    std::size_t characters = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at)
        if (isLeadByte(utf8[at]) && characters++ == count)
            return utf8.substr(0, at);
    return utf8;
}

// Stores `line` into `slot` of `list`, cut after NameList::longestName
// characters of the text shown. Each Windows-1252 byte is one character.
void storeName(NameList& list, std::size_t slot, std::string_view line) {
    const bool utf8 = isStrictUtf8(line);
    const std::string_view kept =
        utf8 ? firstCharacters(line, NameList::longestName) : line.substr(0, NameList::longestName);
    list.names[slot] = std::string(kept);
    list.shownNames[slot] = utf8 ? std::string(kept) : fromWindows1252(kept);
    if (kept.size() < line.size()) {
        list.shownNames[slot] += "\u2026";
        list.cutSlots.push_back(slot);
    }
}

// The encoding of a file that starts with a UTF-16 byte-order mark, else
// nothing.
const char* utf16EncodingOf(std::string_view contents) {
    if (contents.starts_with("\xFF\xFE"))
        return "UTF-16LE";
    if (contents.starts_with("\xFE\xFF"))
        return "UTF-16BE";
    return nullptr;
}

std::string_view withoutUtf8Mark(std::string_view contents) {
    constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
    return contents.substr(contents.starts_with(utf8Mark) ? utf8Mark.size() : 0);
}

NameList namesOfLines(std::string_view lines) {
    NameList list;
    std::size_t at = 0;
    while (at < lines.size() && list.namedCount < NameList::slotCount) {
        const std::size_t end = std::min(lines.find_first_of("\r\n", at), lines.size());
        storeName(list, list.namedCount++, lines.substr(at, end - at));
        const bool crLf = lines.substr(end, 2) == "\r\n";
        at = end + (crLf ? 2 : 1);
    }
    return list;
}

} // namespace

std::string decodeTextFile(std::string_view contents) {
    if (const char* encoding = utf16EncodingOf(contents))
        return convertEncoding(contents.substr(2), encoding, "UTF-8", 2).value_or(std::string());
    return std::string(withoutUtf8Mark(contents));
}

NameList parseNameList(std::string_view contents) {
    if (utf16EncodingOf(contents))
        return namesOfLines(decodeTextFile(contents));
    return namesOfLines(withoutUtf8Mark(contents));
}

std::string decodeNameForDisplay(std::string_view bytes) {
    return isStrictUtf8(bytes) ? std::string(bytes) : fromWindows1252(bytes);
}
