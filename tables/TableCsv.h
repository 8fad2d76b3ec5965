#pragma once

#include "Csv.h"
#include "ImageFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The tables as CSV, in three sections separated by an empty line, each with
// its header: enemies (slot, name, health, damage_set, damage_high), damage
// sets 0 to 15 (set, armor1, armor2, armor3), and the two bytes at the end of
// the damage table that belong to no set (damage_table_byte, value). Names
// are written so that no spreadsheet takes one for a formula (csvTextField).
std::string tablesToCsv(const image::TableBytes& tables,
                        const std::function<std::string(std::uint8_t)>& nameOf);

// The damage_high cell of an enemy's damage byte: its upper four bits, which
// are not its damage set (the damage_set cell).
constexpr std::uint8_t damageHighOf(std::uint8_t damageByte) {
    return damageByte >> 4;
}

// The three sections of the file, in their order.
enum class TableSection { Enemies, DamageSets, LooseBytes };

// The names of the columns of `section`, as its header row has them.
std::span<const std::string_view> headerOf(TableSection section);

// What makes a text no table file, and where (the column is the cell's,
// from 1), with the values concerned; a cell's text is as the file has it.
struct TableCsvFault {
    enum class Kind {
        NotCsv,               // csvKind says how
        FileEndsBeforeHeader, // of `section`
        WrongHeader,          // `cell`, where the header of `section` has another
        CellTooMany,          // `cell`, beyond the width of the header of `section`
        RowEndsEarly,         // before the cell of the header of `section` at the column
        NotAKey,              // `cell`, no slot, set or byte of `section`
        SecondRow,            // for `key` of `section`; the first on `otherLine`
        RowMissing,           // of `key` of `section`, on the section's last line
        NotAByte,             // `cell`, not 0 to 255
        NotFourBits,          // `cell`, not 0 to 15
        SharedByteDisagrees,  // the health of slot `key` and the damage byte on `otherLine`
    };
    TextPlace at{};
    Kind kind = Kind::NotCsv;
    CsvFault::Kind csvKind{};
    TableSection section = TableSection::Enemies;
    std::string cell{};
    std::size_t key = 0; // a slot, a set or a damage table byte
    std::size_t otherLine = 0;
    std::uint8_t health = 0, damageByte = 0; // the two cells of a shared byte
};

// Which cells give the value of a shared byte (the health of a slot F3 to FF,
// the damage byte of slot 00 to 0C) where the two disagree: none, and the
// file is refused; the damage byte's, as a save of both tables leaves the
// image; or the health's.
enum class SharedByteRule { Refuse, DamageWins, HealthWins };

// A shared byte whose cells disagreed: the health of `healthSlot` and the
// damage byte of the slot F3 below it, as the file gave them.
struct SharedByteCells {
    std::uint8_t healthSlot = 0;
    std::uint8_t health = 0, damageByte = 0;
};

struct TableCsvResult {
    image::TableBytes values{};
    std::optional<TableCsvFault> fault;
    // Each shared byte whose cells disagreed, by slot, taken from the side
    // the rule names; none when the rule refuses.
    std::vector<SharedByteCells> overridden{};
};

// Reads what tablesToCsv writes, checking every cell; names are not read.
// Also accepted, as spreadsheets save: rows in any order within each section
// (each exactly once), `;` or tab as the separator (from the header row, or
// an Excel "sep=X" first line), UTF-16 with a byte order mark, a UTF-8 byte
// order mark, CR LF or CR line ends, empty lines anywhere, empty cells at the
// end of a row, slots in lower case or without their leading zero. A refused
// text gets its first fault: the lowest line, then the lowest column.
// Shared bytes whose cells disagree are refused, or taken as `rule` says.
TableCsvResult tablesFromCsv(std::string_view text, SharedByteRule rule = SharedByteRule::Refuse);
