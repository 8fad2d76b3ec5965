// Feeds any contents of names.cfg to the reader and any name to the display
// decoder. The names must be the file's lines, the display text valid UTF-8.
#include "NameList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// The lines of a text ending at CR LF, a lone LF or a lone CR, read one
// character at a time.
std::vector<std::string> linesOf(std::string_view contents) {
    std::vector<std::string> lines;
    std::string line;
    bool lineOpen = false;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const char c = contents[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            lineOpen = false;
            if (c == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n')
                ++i;
        } else {
            line += c;
            lineOpen = true;
        }
    }
    if (lineOpen)
        lines.push_back(line);
    return lines;
}

// Decodes UTF-8 into code points; nothing when any sequence is malformed,
// overlong, a surrogate or beyond U+10FFFF.
std::optional<std::vector<std::uint32_t>> codePointsOf(std::string_view text) {
    std::vector<std::uint32_t> codePoints;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC0 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF8 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size())
            return std::nullopt;
        std::uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        constexpr std::uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < shortest[length] || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return std::nullopt;
        codePoints.push_back(codePoint);
        i += length;
    }
    return codePoints;
}

void checkNameList(std::string_view contents) {
    const NameList list = parseNameList(contents);
    const std::vector<std::string> lines = linesOf(contents);
    if (list.namedCount != std::min(lines.size(), NameList::slotCount))
        std::abort();
    for (std::size_t slot = 0; slot < NameList::slotCount; ++slot) {
        const std::string expected = slot < list.namedCount ? lines[slot] : std::string();
        if (list.names[slot] != expected)
            std::abort();
    }
}

void checkDisplayName(std::string_view name) {
    const std::string shown = decodeNameForDisplay(name);
    const auto codePoints = codePointsOf(shown);
    if (!codePoints)
        std::abort();
    if (codePointsOf(name)) {
        // Valid UTF-8 is shown as it stands.
        if (shown != name)
            std::abort();
        return;
    }
    // Anything else is one character per byte: ASCII and Latin-1 letters as
    // themselves, 0x80..0x9F as some character that is not ASCII.
    if (codePoints->size() != name.size())
        std::abort();
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const std::uint32_t shownAs = (*codePoints)[i];
        const bool windowsOnly = byte >= 0x80 && byte < 0xA0;
        if (windowsOnly ? shownAs < 0x80 : shownAs != byte)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    checkNameList(contents);
    checkDisplayName(contents);
    for (const std::string& name : parseNameList(contents).names)
        checkDisplayName(name);
    return 0;
}
