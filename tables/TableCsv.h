#pragma once

#include "Csv.h"
#include "ImageFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The tables as CSV, in three sections separated by an empty line, each with
// its header: enemies (slot, name, health, damage_set, damage_high), damage
// sets 0 to 15 (set, armor1, armor2, armor3), and the two bytes at the end of
// the damage table that belong to no set (damage_table_byte, value). Names
// are written so that no spreadsheet takes one for a formula (csvTextField).
std::string tablesToCsv(const image::TableBytes& tables,
                        const std::function<std::string(std::uint8_t)>& nameOf);

struct TableCsvResult {
    image::TableBytes values{};
    std::optional<TextError> error;
};

// Reads what tablesToCsv writes, checking every cell; names are not read.
// Also accepted, as spreadsheets save: rows in any order within each section
// (each exactly once), `;` or tab as the separator (from the header row, or
// an Excel "sep=X" first line), UTF-16 with a byte order mark, a UTF-8 byte
// order mark, CR LF or CR line ends, empty lines anywhere, empty cells at the
// end of a row, slots in lower case or without their leading zero. A refused
// text gets its first fault: the lowest line, then the lowest column; a cell
// it quotes is shown as terminalCell shows it.
TableCsvResult tablesFromCsv(std::string_view text);
