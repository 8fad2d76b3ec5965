#include "NameList.h"

#include "TextConverter.h"
#include "Utf8.h"

#include <algorithm>

namespace {

// glibc's converters to UTF-8, each opened at its first use and kept for the
// run, closed at its end: opening one costs more than converting a name. The
// store runs on one thread.
TextConverter& fromWindows1252() {
    static TextConverter converter("WINDOWS-1252", "UTF-8");
    return converter;
}
TextConverter& fromUtf16LittleEndian() {
    static TextConverter converter("UTF-16LE", "UTF-8");
    return converter;
}
TextConverter& fromUtf16BigEndian() {
    static TextConverter converter("UTF-16BE", "UTF-8");
    return converter;
}

// `bytes` in UTF-8, each unit of `unitSize` bytes that does not convert as
// U+FFFD; empty where glibc has no such conversion.
std::string toUtf8(TextConverter& converter, std::string_view bytes, std::size_t unitSize) {
    std::string out;
    out.reserve(bytes.size());
    converter.convertReplacing(bytes, unitSize, [&out](std::string_view piece) { out += piece; });
    return out;
}

std::string utf8FromWindows1252(std::string_view bytes) {
    return toUtf8(fromWindows1252(), bytes, 1);
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
    list.names[slot] = utf8 ? std::string(kept) : utf8FromWindows1252(kept);
    if (kept.size() < line.size()) {
        list.names[slot] += "\u2026";
        list.cutSlots.push_back(slot);
    }
}

// The converter of a file that starts with a UTF-16 byte-order mark, else
// none.
TextConverter* utf16ConverterOf(std::string_view contents) {
    if (contents.starts_with("\xFF\xFE"))
        return &fromUtf16LittleEndian();
    if (contents.starts_with("\xFE\xFF"))
        return &fromUtf16BigEndian();
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
    if (TextConverter* fromUtf16 = utf16ConverterOf(contents))
        return toUtf8(*fromUtf16, contents.substr(2), 2);
    return std::string(withoutUtf8Mark(contents));
}

NameList parseNameList(std::string_view contents) {
    if (utf16ConverterOf(contents))
        return namesOfLines(decodeTextFile(contents));
    return namesOfLines(withoutUtf8Mark(contents));
}

std::string decodeNameForDisplay(std::string_view bytes) {
    return isStrictUtf8(bytes) ? std::string(bytes) : utf8FromWindows1252(bytes);
}
