#include "TerminalText.h"

#include "Utf8.h"

#include <cstdio>

namespace {

// The bytes of the character that starts `text`, as many as its first byte
// announces in UTF-8; whether they are one is for isStrictUtf8 to judge.
std::string_view announcedCharacter(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return text.substr(0, length);
}

// C0 and C1 control characters and DEL, in valid UTF-8.
bool isControl(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1)
        return lead < 0x20 || lead == 0x7F;
    return lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

std::string escapedBytes(std::string_view bytes) {
    std::string shown;
    for (const char byte : bytes) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(byte));
        shown += escape;
    }
    return shown;
}

// Appends the character that starts `text` to `shown`, as terminalText shows
// it; returns the number of bytes it took: one for a byte that is no UTF-8.
std::size_t showCharacter(std::string_view text, std::string& shown) {
    const std::string_view character = announcedCharacter(text);
    if (!isStrictUtf8(character)) {
        shown += escapedBytes(text.substr(0, 1));
        return 1;
    }
    if (character == "\\")
        shown += "\\\\";
    else if (isControl(character))
        shown += escapedBytes(character);
    else
        shown += character;
    return character.size();
}

struct Shown {
    std::string text;
    bool cut = false;
};

// The first `most` characters of `text`, as terminalText shows them.
Shown shownCharacters(std::string_view text, std::size_t most) {
    Shown shown;
    std::size_t at = 0;
    for (std::size_t count = 0; at < text.size() && count < most; ++count)
        at += showCharacter(text.substr(at), shown.text);
    shown.cut = at < text.size();
    return shown;
}

} // namespace

std::string terminalText(std::string_view text) {
    return shownCharacters(text, text.size()).text;
}

std::string quotedForTerminal(std::string_view text) {
    return '"' + terminalText(text) + '"';
}

std::string terminalCell(std::string_view text) {
    constexpr std::size_t longest = 40;
    const Shown shown = shownCharacters(text, longest);
    return '"' + shown.text + (shown.cut ? "\"…" : "\"");
}
