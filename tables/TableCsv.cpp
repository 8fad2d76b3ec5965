#include "TableCsv.h"

#include "NameList.h"
#include "SlotText.h"
#include "TerminalText.h"

#include <algorithm>
#include <charconv>

namespace {

using Header = std::vector<std::string_view>;
const Header enemyHeader{"slot", "name", "health", "damage_set", "damage_high"};
const Header setHeader{"set", "armor1", "armor2", "armor3"};
const Header looseHeader{"damage_table_byte", "value"};

enum EnemyColumn { SlotColumn, NameColumn, HealthColumn, SetColumn, HighColumn };

std::string csvRow(const std::vector<std::string>& fields) {
    std::string row;
    for (const std::string& field : fields)
        row += field + ',';
    row.back() = '\n';
    return row;
}

std::string headerRow(const Header& header) {
    return csvRow(std::vector<std::string>(header.begin(), header.end()));
}

Byte damageByte(Byte set, Byte highBits) {
    return static_cast<Byte>(highBits << 4 | set);
}

std::string joined(const Header& header) {
    std::string row = headerRow(header);
    row.pop_back(); // the line end
    return row;
}

// The three sections of the file, in their order. A row's key is its first
// cell: a slot, a set or a damage table byte.
struct Section {
    const Header& header;
    std::string_view name;
    std::size_t firstKey;
    std::size_t keyCount;
    std::optional<std::size_t> (*parseKey)(std::string_view);
    std::string (*keyName)(std::size_t);
    std::string_view keyRule;
};

// One or two hex digits, any case: a spreadsheet may drop a leading zero.
std::optional<std::size_t> parseSlot(std::string_view text) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.size() > 2 || std::from_chars(text.data(), end, value, 16).ptr != end)
        return std::nullopt;
    return value;
}

std::optional<std::size_t> parseDecimal(std::string_view text) {
    return Core::byteFromText(text);
}

const Section sections[] = {
    {enemyHeader, "enemy", 0, Core::enemyCount, parseSlot,
     [](std::size_t slot) { return "slot " + twoDigitSlot(slot); }, "a slot: slots run 00 to FF"},
    {setHeader, "damage set", 0, places::setCount, parseDecimal,
     [](std::size_t set) { return "set " + std::to_string(set); }, "a set: sets run 0 to 15"},
    {looseHeader, "damage table byte", places::firstLooseByte,
     Core::damageTableSize - places::firstLooseByte, parseDecimal,
     [](std::size_t index) { return "damage table byte " + std::to_string(index); },
     "a damage table byte: the bytes here are 48 and 49"},
};

// The rows of a CSV text, as the table reader walks through them: empty rows
// left out. Every fault found is kept when it comes before those found so far.
class TableCsvReader {
public:
    // `complete`: whether the records run to the end of the text (they stop
    // at a fault otherwise, and a missing row or header is then no fault).
    TableCsvReader(std::vector<CsvRecord> allRecords, std::size_t endLine, bool complete)
        : endLine(endLine), complete(complete) {
        for (CsvRecord& record : allRecords) {
            if (!std::ranges::all_of(record, [](const CsvField& f) { return f.text.empty(); }))
                records.push_back(std::move(record));
        }
    }

    std::optional<TextError> read(TableValues& values) {
        for (std::size_t s = 0; s < std::size(sections) && readHeader(sections[s]); ++s)
            readRows(s, values);
        checkSharedBytes(values);
        return firstFault;
    }

private:
    void report(TextError fault) {
        if (!firstFault || fault.isBefore(*firstFault))
            firstFault = std::move(fault);
    }

    bool readHeader(const Section& section) {
        const std::string what = "the " + std::string(section.name) + " header";
        if (next == records.size()) {
            if (complete)
                report({endLine, 1, "the file ends before " + what});
            return false;
        }
        CsvRecord& row = records[next++];
        if (!hasWidth(row, section.header))
            return false;
        for (std::size_t column = 0; column < section.header.size(); ++column) {
            if (row[column].text == section.header[column])
                continue;
            report({row[column].line, column + 1,
                    "expected " + what + " " + terminalCell(joined(section.header)) + ", found " +
                        terminalCell(row[column].text)});
            return false;
        }
        return true;
    }

    // The rows of section `s`, up to the header of a later one, by their key.
    void readRows(std::size_t s, TableValues& values) {
        const Section& section = sections[s];
        std::vector<std::size_t> lineOfKey(section.keyCount, 0);
        std::size_t lastLine = records[next - 1][0].line;
        for (; next < records.size() && !startsSectionAfter(s, records[next]); ++next) {
            const CsvRecord& row = records[next];
            lastLine = row[0].line;
            if (!hasWidth(row, section.header))
                continue;
            const std::optional<std::size_t> key = section.parseKey(row[0].text);
            if (!key || *key < section.firstKey || *key - section.firstKey >= section.keyCount) {
                report({row[0].line, 1,
                        terminalCell(row[0].text) + " is not " + std::string(section.keyRule)});
                continue;
            }
            std::size_t& line = lineOfKey[*key - section.firstKey];
            if (line != 0) {
                report({row[0].line, 1,
                        "a second row for " + section.keyName(*key) + " (the first is on line " +
                            std::to_string(line) + ")"});
                continue;
            }
            line = row[0].line;
            readValues(s, row, *key, values);
        }
        const bool ended = next < records.size() || complete;
        const auto missing = std::ranges::find(lineOfKey, 0);
        if (ended && missing != lineOfKey.end())
            report(
                {lastLine, 1,
                 "the row of " +
                     section.keyName(section.firstKey + std::size_t(missing - lineOfKey.begin())) +
                     " is missing"});
        if (s == 0)
            std::ranges::copy(lineOfKey, enemyLines.begin());
    }

    bool startsSectionAfter(std::size_t s, const CsvRecord& row) const {
        return std::any_of(std::begin(sections) + s + 1, std::end(sections),
                           [&row](const Section& later) { return row[0].text == later.header[0]; });
    }

    // Whether the row has the header's width: a missing cell, or any
    // non-empty cell beyond it, is a fault.
    bool hasWidth(const CsvRecord& row, const Header& header) {
        for (std::size_t column = header.size(); column < row.size(); ++column) {
            if (row[column].text.empty())
                continue;
            report({row[column].line, column + 1,
                    terminalCell(row[column].text) + " is one cell too many: rows here have " +
                        std::to_string(header.size()) + " cells"});
            return false;
        }
        if (row.size() >= header.size())
            return true;
        report({row.back().line, row.size() + 1,
                "the row ends before its " + std::string(header[row.size()]) + " cell"});
        return false;
    }

    void readValues(std::size_t s, const CsvRecord& row, std::size_t key, TableValues& values) {
        if (s == 0) {
            readByte(row[HealthColumn], HealthColumn, values.health[key]);
            Byte set = 0, highBits = 0;
            readFourBits(row[SetColumn], SetColumn, set);
            readFourBits(row[HighColumn], HighColumn, highBits);
            values.damage[key] = damageByte(set, highBits);
        } else if (s == 1) {
            for (std::size_t armor = 1; armor <= 3; ++armor)
                readByte(row[armor], armor, values.damageTable[key * 3 + armor - 1]);
        } else {
            readByte(row[1], 1, values.damageTable[key]);
        }
    }

    // Health of slots F3 to FF and the damage byte of slots 00 to 0C are one
    // image byte each; a file that gives them different values is ambiguous.
    void checkSharedBytes(const TableValues& values) {
        for (std::size_t j = 0; j < places::sharedByteCount; ++j) {
            const std::size_t slot = places::firstSharedHealthSlot + j;
            if (enemyLines[slot] == 0 || enemyLines[j] == 0 ||
                values.health[slot] == values.damage[j])
                continue;
            report({enemyLines[slot], HealthColumn + 1,
                    "health of slot " + twoDigitSlot(slot) + " is " +
                        std::to_string(values.health[slot]) + ", but the damage byte of slot " +
                        twoDigitSlot(j) + " (line " + std::to_string(enemyLines[j]) +
                        ", columns 4 and 5: damage_set " + std::to_string(values.damage[j] & 0x0F) +
                        " + 16 x damage_high " + std::to_string(values.damage[j] >> 4) + ") is " +
                        std::to_string(values.damage[j]) +
                        "; the game keeps the health of slots F3 to FF in the same bytes as the "
                        "damage byte of slots 00 to 0C, so the two cells must agree"});
        }
    }

    void readByte(const CsvField& cell, std::size_t column, Byte& value) {
        if (const std::optional<Byte> parsed = Core::byteFromText(cell.text))
            value = *parsed;
        else
            report({cell.line, column + 1,
                    terminalCell(cell.text) + " is not a byte value (0 to 255)"});
    }

    void readFourBits(const CsvField& cell, std::size_t column, Byte& value) {
        const std::optional<Byte> parsed = Core::byteFromText(cell.text);
        if (parsed && *parsed <= 0x0F)
            value = *parsed;
        else
            report({cell.line, column + 1,
                    terminalCell(cell.text) + " is not a four-bit value (0 to 15)"});
    }

    std::vector<CsvRecord> records;
    std::size_t next = 0;
    std::size_t endLine;
    bool complete;
    std::optional<TextError> firstFault;
    // The line of each slot's row; 0 for a slot not read.
    std::array<std::size_t, Core::enemyCount> enemyLines{};
};

// CR LF, LF and a lone CR each end a line.
std::size_t lineEndCount(std::string_view text) {
    const auto count = [text](char c) { return std::size_t(std::ranges::count(text, c)); };
    std::size_t crLf = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2))
        ++crLf;
    return count('\n') + count('\r') - crLf;
}

// The line just after the last line of `text`, which starts at `firstLine`.
std::size_t lineAfter(std::string_view text, std::size_t firstLine) {
    const bool ended = text.empty() || text.ends_with('\n') || text.ends_with('\r');
    return firstLine + lineEndCount(text) + (ended ? 0 : 1);
}

// Gnumeric writes UTF-16 in pieces, each with its own byte order mark; one
// inside the text is no part of a cell.
std::string withoutByteOrderMarks(std::string_view text) {
    constexpr std::string_view mark = "\xEF\xBB\xBF"; // U+FEFF in UTF-8
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = std::min(text.find(mark, at), text.size());
        kept += text.substr(at, next - at);
        at = next + mark.size();
    }
    return kept;
}

// The separator an Excel "sep=X" first line names, which that line then
// leaves `text`.
std::optional<char> takeSeparatorLine(std::string_view& text) {
    if (!text.starts_with("sep=") || text.size() < 5 ||
        std::string_view("\"\r\n").find(text[4]) != std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = text.substr(5);
    const std::size_t lineEnd = rest.starts_with("\r\n")                           ? 2
                                : rest.starts_with('\n') || rest.starts_with('\r') ? 1
                                                                                   : 0;
    if (lineEnd == 0 && !rest.empty())
        return std::nullopt;
    const char separator = text[4];
    text = rest.substr(lineEnd);
    return separator;
}

// The header row's separator: the first comma, semicolon or tab in the text,
// since no header cell holds one.
char headerSeparator(std::string_view text) {
    const std::size_t at = text.find_first_of(",;\t");
    return at == std::string_view::npos ? ',' : text[at];
}

} // namespace

std::string tablesToCsv(const TableValues& values, const std::function<std::string(Byte)>& nameOf) {
    std::string csv = headerRow(enemyHeader);
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        const Byte damage = values.damage[slot];
        csv += csvRow({twoDigitSlot(slot), csvTextField(nameOf(static_cast<Byte>(slot))),
                       std::to_string(values.health[slot]), std::to_string(damage & 0x0F),
                       std::to_string(damage >> 4)});
    }
    csv += '\n' + headerRow(setHeader);
    for (std::size_t set = 0; set < places::setCount; ++set) {
        std::vector<std::string> row{std::to_string(set)};
        for (std::size_t armor = 0; armor < 3; ++armor)
            row.push_back(std::to_string(values.damageTable[set * 3 + armor]));
        csv += csvRow(row);
    }
    csv += '\n' + headerRow(looseHeader);
    for (std::size_t index = places::firstLooseByte; index < Core::damageTableSize; ++index)
        csv += csvRow({std::to_string(index), std::to_string(values.damageTable[index])});
    return csv;
}

TableCsvResult tablesFromCsv(std::string_view input) {
    const std::string decoded = withoutByteOrderMarks(decodeTextFile(input));
    std::string_view text = decoded;
    const std::optional<char> named = takeSeparatorLine(text);
    const std::size_t firstLine = named ? 2 : 1;
    CsvReadResult csv = readCsv(text, named.value_or(headerSeparator(text)), firstLine);
    TableCsvResult result;
    result.error = TableCsvReader(std::move(csv.records), lineAfter(text, firstLine), !csv.error)
                       .read(result.values);
    if (csv.error && (!result.error || csv.error->isBefore(*result.error)))
        result.error = csv.error;
    return result;
}
