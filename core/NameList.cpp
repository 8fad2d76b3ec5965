#include "NameList.h"

#include "TextDecoding.h"
#include "Utf8.h"

#include <algorithm>
#include <optional>

namespace {

std::string utf8FromWindows1252(std::string_view bytes) {
    return decodedToUtf8(Encoding::Windows1252, bytes);
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

// The encoding of a file that starts with a UTF-16 byte-order mark, else
// none.
std::optional<Encoding> utf16EncodingOf(std::string_view contents) {
    if (contents.starts_with("\xFF\xFE"))
        return Encoding::Utf16LittleEndian;
    if (contents.starts_with("\xFE\xFF"))
        return Encoding::Utf16BigEndian;
    return std::nullopt;
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
    if (const std::optional<Encoding> utf16 = utf16EncodingOf(contents))
        return decodedToUtf8(*utf16, contents.substr(2));
    return std::string(withoutUtf8Mark(contents));
}

NameList parseNameList(std::string_view contents) {
    if (utf16EncodingOf(contents))
        return namesOfLines(decodeTextFile(contents));
    return namesOfLines(withoutUtf8Mark(contents));
}

std::string decodeNameForDisplay(std::string_view bytes) {
    return isStrictUtf8(bytes) ? std::string(bytes) : utf8FromWindows1252(bytes);
}
