#pragma once

#include <string>
#include <string_view>

// Text for a terminal, which would act on control characters: each control
// character (C0, DEL, C1) and each byte that is no strict UTF-8 as \xNN, a
// backslash as \\, every other character as it is. Never cut.
std::string terminalText(std::string_view text);

// A file name or other text in a message: terminalText in double quotes.
std::string quotedForTerminal(std::string_view text);

// A cell of a table in a message: quoted as quotedForTerminal does, of its
// first 40 characters, with "…" after the closing quote when it is longer.
std::string terminalCell(std::string_view text);
