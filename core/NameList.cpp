#include "NameList.h"

#include <algorithm>
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

// How glibc's iconv converts `bytes` from the encoding `from` to `to`. A unit
// of `unitSize` bytes that does not convert becomes U+FFFD (`to` must then be
// UTF-8) when `replaceInvalid`, and otherwise leaves no result.
std::optional<std::string> convertEncoding(std::string_view bytes, const char* from, const char* to,
                                           std::size_t unitSize, bool replaceInvalid) {
    static Converters converters;
    const iconv_t converter = converters.get(from, to);
    if (converter == Converters::failed)
        return std::nullopt;
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr); // back to the initial state
    // Every target here takes at most four bytes per input byte, and the
    // replacement character three per unit.
    std::string out(bytes.size() * 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outAt = out.data();
    std::size_t outLeft = out.size();
    bool valid = true;
    while (::iconv(converter, &in, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1)) {
        // EILSEQ, or EINVAL for a unit cut off by the end of the input; E2BIG
        // cannot happen with the room given.
        valid = replaceInvalid && errno != E2BIG;
        if (!valid)
            break;
        const std::size_t skipped = std::min(unitSize, inLeft);
        in += skipped;
        inLeft -= skipped;
        outAt = std::ranges::copy(replacementCharacter, outAt).out;
        outLeft -= replacementCharacter.size();
    }
    if (!valid)
        return std::nullopt;
    out.resize(static_cast<std::size_t>(outAt - out.data()));
    return out;
}

// names.cfg as 8-bit or UTF-8 text, without a byte-order mark.
std::string textOf(std::string_view contents) {
    constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
    constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";
    if (contents.starts_with(utf8Mark))
        return std::string(contents.substr(utf8Mark.size()));
    for (const auto& [mark, encoding] :
         {std::pair{utf16LittleEndianMark, "UTF-16LE"}, std::pair{utf16BigEndianMark, "UTF-16BE"}})
        if (contents.starts_with(mark))
            return convertEncoding(contents.substr(mark.size()), encoding, "UTF-8", 2, true)
                .value_or(std::string());
    return std::string(contents);
}

} // namespace

std::string decodeTextFile(std::string_view contents) {
    return textOf(contents);
}

NameList parseNameList(std::string_view contents) {
    const std::string text = textOf(contents);
    const std::string_view lines = text;
    NameList list;
    std::size_t at = 0;
    while (at < lines.size() && list.namedCount < NameList::slotCount) {
        const std::size_t end = std::min(lines.find_first_of("\r\n", at), lines.size());
        list.names[list.namedCount++] = std::string(lines.substr(at, end - at));
        const bool crLf = lines.substr(end, 2) == "\r\n";
        at = end + (crLf ? 2 : 1);
    }
    return list;
}

std::string decodeNameForDisplay(std::string_view bytes) {
    // To UTF-32, since glibc's UTF-8 to UTF-8 lets values beyond U+10FFFF pass.
    if (convertEncoding(bytes, "UTF-8", "UTF-32LE", 1, false))
        return std::string(bytes);
    return convertEncoding(bytes, "WINDOWS-1252", "UTF-8", 1, true).value_or(std::string());
}
