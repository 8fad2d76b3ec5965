#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The enemy names as read from names.cfg: one name per line, line 1 for slot 0.
struct NameList {
    static constexpr std::size_t slotCount = 256;
    // A longer name is kept to its first longestName characters (Unicode code
    // points of the text shown), and shown with "…" after them.
    static constexpr std::size_t longestName = 255;
    // Each line as text to show (see decodeNameForDisplay), "…" after a cut.
    std::array<std::string, slotCount> names;
    // How many slots the file named (at most slotCount); the rest are empty.
    std::size_t namedCount = 0;
    // The slots whose names were cut, in order.
    std::vector<std::size_t> cutSlots;
};

// Splits the contents of names.cfg into names. A file that starts with a
// UTF-16 byte-order mark (either order) is first converted to UTF-8; a UTF-8
// byte-order mark is dropped. A line ends at CR LF, a lone LF or a lone CR;
// its bytes are kept unchanged up to the cut. Lines after the 256th are
// ignored. Other files are read where they lie, without a copy, so that a
// line of megabytes costs no more memory than the file itself.
NameList parseNameList(std::string_view contents);

// A text file's contents without its byte-order mark: UTF-16 with a mark
// (either order) converted to UTF-8, other bytes as they are.
std::string decodeTextFile(std::string_view contents);

// A name as text to show: the bytes themselves when they are valid UTF-8,
// otherwise each byte read as Windows-1252 and given as UTF-8 (U+FFFD for the
// five bytes Windows-1252 leaves unassigned).
std::string decodeNameForDisplay(std::string_view bytes);
