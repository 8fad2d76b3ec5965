#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 describes them, with the separators and
// line ends that spreadsheets also write.

struct CsvField {
    std::string text;
    std::size_t line = 0; // the line the field starts on, from 1
};
using CsvRecord = std::vector<CsvField>;

// A place in a text: a line and a column (the field number), both from 1.
struct TextPlace {
    std::size_t line = 0;
    std::size_t column = 0;

    // Earlier in the text: a lower line, or the same line and a lower column.
    bool isBefore(const TextPlace& other) const {
        return line < other.line || (line == other.line && column < other.column);
    }
};

// What makes a text no CSV, and where.
struct CsvFault {
    enum class Kind { QuoteInUnquotedField, TextAfterClosingQuote, QuotedFieldNeverCloses };
    TextPlace at;
    Kind kind;
};

struct CsvReadResult {
    // The records up to the first fault, or all of them.
    std::vector<CsvRecord> records;
    std::optional<CsvFault> fault;
    // With all of them, the line just after the text's last.
    std::size_t endLine = 0;
};

// Splits `text` into records of fields separated by `separator`. Lines end in
// LF, CR LF or a lone CR; the last line end may be missing. `firstLine` is the
// number of the text's first line. A quoted field may hold separators, line
// ends and doubled quotes. Refused: a quote inside an unquoted field, text
// after a closing quote, and a quoted field that never closes.
CsvReadResult readCsv(std::string_view text, char separator = ',', std::size_t firstLine = 1);

// `text` as one field of a CSV line: quoted, with its quotes doubled, when it
// holds a comma, a semicolon, a tab, a quote, a CR or an LF; as it stands
// otherwise, so that it reads back whatever the separator.
std::string csvField(std::string_view text);

// The same for a free text such as a name, which no spreadsheet may take for a
// formula: one that begins with =, +, -, @, a tab or a CR gets an apostrophe
// before it, inside quotes, as spreadsheets themselves mark text.
std::string csvTextField(std::string_view text);
