#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 describes them.

struct CsvField {
    std::string text;
    std::size_t line = 0; // the line the field starts on, from 1
};
using CsvRecord = std::vector<CsvField>;

// A fault in a text, at a line and a column (the field number), both from 1.
struct TextError {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
};

struct CsvReadResult {
    std::vector<CsvRecord> records;
    std::optional<TextError> error;
};

// Splits `text` into records of fields. Lines end in LF or CR LF; the last line
// end may be missing. A quoted field may hold commas, line ends and doubled
// quotes. Refused: a quote inside an unquoted field, text after a closing
// quote, and a quoted field that never closes.
CsvReadResult readCsv(std::string_view text);

// `text` as one field of a CSV line: quoted, with its quotes doubled, when it
// holds a comma, a quote, a CR or an LF; as it stands otherwise.
std::string csvField(std::string_view text);
