// Feeds any contents of names.cfg to the reader and any name to the display
// decoder, and compares both with what glibc's iconv makes of the same bytes
// when used in the plainest way: the whole file in one conversion, and a name
// that is not UTF-8 one byte at a time. A long name is cut on the decoded
// text, as UTF-32: its first 255 code points, then "…".
#include "NameList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// One iconv conversion, refusing any input with an invalid or cut-off unit.
class Conversion {
public:
    Conversion(const char* from, const char* to) : converter(::iconv_open(to, from)) {
        require(converter != reinterpret_cast<iconv_t>(-1));
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;
    ~Conversion() { ::iconv_close(converter); }

    std::optional<std::string> operator()(std::string_view bytes) const {
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr); // a fresh start
        std::string out(bytes.size() * 4, '\0');
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* outAt = out.data();
        std::size_t outLeft = out.size();
        if (::iconv(converter, &in, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        out.resize(static_cast<std::size_t>(outAt - out.data()));
        return out;
    }

private:
    iconv_t converter;
};

const Conversion& utf8Check() {
    static const Conversion conversion("UTF-8", "UTF-16LE");
    return conversion;
}
const Conversion& fromWindows1252() {
    static const Conversion conversion("WINDOWS-1252", "UTF-8");
    return conversion;
}
const Conversion& toUtf32() {
    static const Conversion conversion("UTF-8", "UTF-32LE");
    return conversion;
}
const Conversion& fromUtf32() {
    static const Conversion conversion("UTF-32LE", "UTF-8");
    return conversion;
}

// The text the names are read from; nothing for UTF-16 with a broken unit.
std::optional<std::string> textOf(std::string_view contents) {
    if (contents.starts_with("\xFF\xFE") || contents.starts_with("\xFE\xFF"))
        // A new converter, since glibc's keeps the byte order of its first mark.
        return Conversion("UTF-16", "UTF-8")(contents); // reads and drops the mark itself
    if (contents.starts_with("\xEF\xBB\xBF"))
        return std::string(contents.substr(3));
    return std::string(contents);
}

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

// A name as text to show, whole.
std::string displayOf(std::string_view name) {
    if (utf8Check()(name))
        return std::string(name);
    std::string shown;
    for (std::size_t i = 0; i < name.size(); ++i)
        shown += fromWindows1252()(name.substr(i, 1)).value_or("\uFFFD");
    return shown;
}

// The text shown for a line: its first 255 code points, then "…" when more.
struct Shown {
    std::string text;
    bool cut = false;
};
Shown shownOf(std::string_view line) {
    const std::string codePoints = toUtf32()(displayOf(line)).value();
    const std::size_t kept = NameList::longestName * 4;
    if (codePoints.size() <= kept)
        return {displayOf(line)};
    return {fromUtf32()(std::string_view(codePoints).substr(0, kept)).value() + "\u2026", true};
}

void checkNameList(const NameList& list, std::string_view contents) {
    const std::optional<std::string> text = textOf(contents);
    if (!text)
        return; // the names are still checked to show as valid text
    const std::vector<std::string> lines = linesOf(*text);
    require(list.namedCount == std::min(lines.size(), NameList::slotCount));
    std::vector<std::size_t> cutSlots;
    for (std::size_t slot = 0; slot < NameList::slotCount; ++slot) {
        const Shown shown = shownOf(slot < list.namedCount ? lines[slot] : std::string());
        require(list.names[slot] == shown.text);
        if (shown.cut)
            cutSlots.push_back(slot);
    }
    require(list.cutSlots == cutSlots);
}

void checkDisplayName(std::string_view name) {
    const std::string shown = decodeNameForDisplay(name);
    require(utf8Check()(shown).has_value());
    require(shown == displayOf(name));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const NameList list = parseNameList(contents);
    checkNameList(list, contents);
    checkDisplayName(contents);
    for (const std::string& name : list.names)
        checkDisplayName(name);
    return 0;
}
