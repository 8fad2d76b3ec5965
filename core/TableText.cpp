#include "TableText.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace {

constexpr std::size_t setCount = 16;
constexpr std::size_t firstLooseByte = setCount * 3; // the two bytes after set 15
constexpr std::size_t firstSharedHealth = Core::enemyDamageOffset - Core::enemyHealthOffset;
constexpr std::size_t sharedCount = Core::enemyCount - firstSharedHealth;

using Header = std::vector<std::string_view>;
const Header enemyHeader{"slot", "name", "health", "damage_set", "damage_high"};
const Header setHeader{"set", "armor1", "armor2", "armor3"};
const Header looseHeader{"damage_table_byte", "value"};

enum EnemyColumn { SlotColumn, NameColumn, HealthColumn, SetColumn, HighColumn };

std::string hexByte(std::size_t value) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    return {digits[(value >> 4) & 0x0F], digits[value & 0x0F]};
}

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

std::string inQuotes(std::string_view text) {
    return '"' + std::string(text) + '"';
}

// The rows of a CSV text, as the table reader walks through them: empty rows
// left out, empty cells at the end of a row kept only up to the expected width.
class TableCsvReader {
public:
    TableCsvReader(std::vector<CsvRecord> allRecords, std::size_t endLine) : endLine(endLine) {
        for (CsvRecord& record : allRecords) {
            if (!std::ranges::all_of(record, [](const CsvField& f) { return f.text.empty(); }))
                records.push_back(std::move(record));
        }
    }

    std::optional<TextError> read(TableValues& values) {
        if (auto error = readEnemies(values))
            return error;
        if (auto error = readSets(values))
            return error;
        if (auto error = readLooseBytes(values))
            return error;
        if (next < records.size())
            return TextError{records[next][0].line, 1,
                             inQuotes(records[next][0].text) +
                                 " starts a row after the end of the tables"};
        return checkSharedBytes(values);
    }

private:
    std::optional<TextError> readEnemies(TableValues& values) {
        if (auto error = expectHeader(enemyHeader, "enemy"))
            return error;
        for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
            const CsvRecord* row = nullptr;
            if (auto error = nextRow(enemyHeader, "the row of slot " + hexByte(slot), row))
                return error;
            Byte set = 0, highBits = 0;
            if (auto error =
                    checkKey(*row, slot, parseSlot, "slot " + hexByte(slot), "slots 00 to FF"))
                return error;
            if (auto error = readByte((*row)[HealthColumn], HealthColumn, values.health[slot]))
                return error;
            if (auto error = readFourBits((*row)[SetColumn], SetColumn, set))
                return error;
            if (auto error = readFourBits((*row)[HighColumn], HighColumn, highBits))
                return error;
            values.damage[slot] = damageByte(set, highBits);
            enemyLines[slot] = (*row)[0].line;
        }
        return std::nullopt;
    }

    std::optional<TextError> readSets(TableValues& values) {
        if (auto error = expectHeader(setHeader, "damage set"))
            return error;
        for (std::size_t set = 0; set < setCount; ++set) {
            const CsvRecord* row = nullptr;
            if (auto error = nextRow(setHeader, "the row of set " + std::to_string(set), row))
                return error;
            if (auto error =
                    checkKey(*row, set, parseDecimal, "set " + std::to_string(set), "sets 0 to 15"))
                return error;
            for (std::size_t armor = 1; armor <= 3; ++armor) {
                if (auto error =
                        readByte((*row)[armor], armor, values.damageTable[set * 3 + armor - 1]))
                    return error;
            }
        }
        return std::nullopt;
    }

    std::optional<TextError> readLooseBytes(TableValues& values) {
        if (auto error = expectHeader(looseHeader, "damage table byte"))
            return error;
        for (std::size_t index = firstLooseByte; index < Core::damageTableSize; ++index) {
            const CsvRecord* row = nullptr;
            if (auto error = nextRow(looseHeader,
                                     "the row of damage table byte " + std::to_string(index), row))
                return error;
            if (auto error =
                    checkKey(*row, index, parseDecimal, std::to_string(index), "bytes 48 and 49"))
                return error;
            if (auto error = readByte((*row)[1], 1, values.damageTable[index]))
                return error;
        }
        return std::nullopt;
    }

    // Health of slots F3 to FF and the damage byte of slots 00 to 0C are one
    // image byte each; a file that gives them different values is ambiguous.
    std::optional<TextError> checkSharedBytes(const TableValues& values) const {
        for (std::size_t j = 0; j < sharedCount; ++j) {
            const std::size_t slot = firstSharedHealth + j;
            if (values.health[slot] == values.damage[j])
                continue;
            return TextError{
                enemyLines[slot], HealthColumn + 1,
                "health of slot " + hexByte(slot) + " is " + std::to_string(values.health[slot]) +
                    ", but the damage byte of slot " + hexByte(j) + " (line " +
                    std::to_string(enemyLines[j]) + ", columns 4 and 5: damage_set " +
                    std::to_string(values.damage[j] & 0x0F) + " + 16 x damage_high " +
                    std::to_string(values.damage[j] >> 4) + ") is " +
                    std::to_string(values.damage[j]) +
                    "; the game keeps the health of slots F3 to FF in the same bytes as the "
                    "damage byte of slots 00 to 0C, so the two cells must agree"};
        }
        return std::nullopt;
    }

    std::optional<TextError> expectHeader(const Header& header, std::string_view section) {
        std::string expected = headerRow(header);
        expected.pop_back(); // the line end
        expected = inQuotes(expected);
        const CsvRecord* row = nullptr;
        if (auto error = nextRow(header, "the " + std::string(section) + " header", row))
            return error;
        for (std::size_t column = 0; column < header.size(); ++column) {
            if ((*row)[column].text != header[column])
                return TextError{(*row)[column].line, column + 1,
                                 "expected the " + std::string(section) + " header " + expected +
                                     ", found " + inQuotes((*row)[column].text)};
        }
        return std::nullopt;
    }

    // Takes the next row, which must have as many cells as `header`.
    std::optional<TextError> nextRow(const Header& header, const std::string& what,
                                     const CsvRecord*& row) {
        if (next == records.size())
            return TextError{endLine, 1, "the file ends before " + what};
        CsvRecord& record = records[next++];
        while (record.size() > header.size() && record.back().text.empty())
            record.pop_back();
        if (record.size() < header.size())
            return TextError{record.back().line, record.size() + 1,
                             "the row ends before its " + std::string(header[record.size()]) +
                                 " cell"};
        if (record.size() > header.size())
            return TextError{record[header.size()].line, header.size() + 1,
                             inQuotes(record[header.size()].text) +
                                 " is one cell too many: rows here have " +
                                 std::to_string(header.size()) + " cells"};
        row = &record;
        return std::nullopt;
    }

    using KeyParser = std::optional<std::size_t> (*)(std::string_view);

    static std::optional<TextError> checkKey(const CsvRecord& row, std::size_t expected,
                                             KeyParser parse, const std::string& expectedText,
                                             std::string_view order) {
        if (parse(row[0].text) == expected)
            return std::nullopt;
        return TextError{row[0].line, 1,
                         inQuotes(row[0].text) + " is not " + expectedText + ": the rows list " +
                             std::string(order) + " in order, one each"};
    }

    // One or two hex digits, any case: a spreadsheet may drop a leading zero.
    static std::optional<std::size_t> parseSlot(std::string_view text) {
        std::size_t value = 0;
        const char* end = text.data() + text.size();
        if (text.empty() || text.size() > 2 ||
            std::from_chars(text.data(), end, value, 16).ptr != end)
            return std::nullopt;
        return value;
    }

    static std::optional<std::size_t> parseDecimal(std::string_view text) {
        return Core::byteFromText(text);
    }

    static std::optional<TextError> readByte(const CsvField& cell, std::size_t column,
                                             Byte& value) {
        const std::optional<Byte> parsed = Core::byteFromText(cell.text);
        if (!parsed)
            return TextError{cell.line, column + 1,
                             inQuotes(cell.text) + " is not a byte value (0 to 255)"};
        value = *parsed;
        return std::nullopt;
    }

    static std::optional<TextError> readFourBits(const CsvField& cell, std::size_t column,
                                                 Byte& value) {
        const std::optional<Byte> parsed = Core::byteFromText(cell.text);
        if (!parsed || *parsed > 0x0F)
            return TextError{cell.line, column + 1,
                             inQuotes(cell.text) + " is not a four-bit value (0 to 15)"};
        value = *parsed;
        return std::nullopt;
    }

    std::vector<CsvRecord> records;
    std::size_t next = 0;
    std::size_t endLine;
    std::array<std::size_t, Core::enemyCount> enemyLines{};
};

// The line just after the last line of `text`.
std::size_t lineAfter(std::string_view text) {
    const auto lineEnds = static_cast<std::size_t>(std::ranges::count(text, '\n'));
    return lineEnds + (text.empty() || text.ends_with('\n') ? 1 : 2);
}

std::string change(const std::string& entry, Byte before, Byte after) {
    return entry + ": " + std::to_string(before) + " -> " + std::to_string(after);
}

} // namespace

TableValues tablesOf(const Core& core) {
    TableValues values;
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        values.health[slot] = core.getEnemyHealth(static_cast<Byte>(slot));
        values.damage[slot] = core.getEnemyDamage(static_cast<Byte>(slot));
    }
    for (std::size_t index = 0; index < Core::damageTableSize; ++index)
        values.damageTable[index] = core.getDamageTableByte(index);
    return values;
}

void storeTables(Core& core, const TableValues& values) {
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        core.setEnemyHealth(static_cast<Byte>(slot), values.health[slot]);
        core.setEnemyDamage(static_cast<Byte>(slot), values.damage[slot]);
    }
    for (std::size_t index = 0; index < Core::damageTableSize; ++index)
        core.setDamageTableByte(index, values.damageTable[index]);
}

std::string tablesToCsv(const TableValues& values, const std::function<std::string(Byte)>& nameOf) {
    std::string csv = headerRow(enemyHeader);
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        const Byte damage = values.damage[slot];
        csv += csvRow({hexByte(slot), csvField(nameOf(static_cast<Byte>(slot))),
                       std::to_string(values.health[slot]), std::to_string(damage & 0x0F),
                       std::to_string(damage >> 4)});
    }
    csv += '\n' + headerRow(setHeader);
    for (std::size_t set = 0; set < setCount; ++set) {
        std::vector<std::string> row{std::to_string(set)};
        for (std::size_t armor = 0; armor < 3; ++armor)
            row.push_back(std::to_string(values.damageTable[set * 3 + armor]));
        csv += csvRow(row);
    }
    csv += '\n' + headerRow(looseHeader);
    for (std::size_t index = firstLooseByte; index < Core::damageTableSize; ++index)
        csv += csvRow({std::to_string(index), std::to_string(values.damageTable[index])});
    return csv;
}

TableCsvResult tablesFromCsv(std::string_view text) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    CsvReadResult csv = readCsv(text);
    TableCsvResult result;
    result.error = csv.error;
    if (!result.error)
        result.error = TableCsvReader(std::move(csv.records), lineAfter(text)).read(result.values);
    return result;
}

std::vector<std::string> tableDifferences(const TableValues& before, const TableValues& after) {
    std::vector<std::string> lines;
    const auto compare = [&lines](const std::string& entry, Byte a, Byte b) {
        if (a != b)
            lines.push_back(change(entry, a, b));
    };
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        const std::string key = " " + hexByte(slot);
        const Byte a = before.damage[slot], b = after.damage[slot];
        compare("health" + key, before.health[slot], after.health[slot]);
        compare("damage_set" + key, a & 0x0F, b & 0x0F);
        compare("damage_high" + key, a >> 4, b >> 4);
    }
    for (std::size_t index = 0; index < firstLooseByte; ++index)
        compare("armor" + std::to_string(index % 3 + 1) + " set " + std::to_string(index / 3),
                before.damageTable[index], after.damageTable[index]);
    for (std::size_t index = firstLooseByte; index < Core::damageTableSize; ++index)
        compare("damage_table_byte " + std::to_string(index), before.damageTable[index],
                after.damageTable[index]);
    return lines;
}

std::vector<Byte> ipsPatch(const TableValues& original, const TableValues& modified) {
    // Image offset -> new byte, in the order the save writes them.
    std::map<std::uint32_t, Byte> changes;
    const auto compare = [&changes](std::uint32_t offset, Byte before, Byte after) {
        if (before != after)
            changes[offset] = after;
    };
    for (std::uint32_t i = 0; i < Core::damageTableSize; ++i)
        compare(Core::damageTableOffset + i, original.damageTable[i], modified.damageTable[i]);
    for (std::uint32_t slot = 0; slot < Core::enemyCount; ++slot)
        compare(Core::enemyHealthOffset + slot, original.health[slot], modified.health[slot]);
    for (std::uint32_t slot = 0; slot < Core::enemyCount; ++slot)
        compare(Core::enemyDamageOffset + slot, original.damage[slot], modified.damage[slot]);

    std::vector<Byte> patch{'P', 'A', 'T', 'C', 'H'};
    for (auto run = changes.begin(); run != changes.end();) {
        auto end = std::next(run);
        while (end != changes.end() && end->first == std::prev(end)->first + 1)
            ++end;
        const auto size = static_cast<std::uint32_t>(std::distance(run, end));
        patch.insert(patch.end(), {Byte(run->first >> 16), Byte(run->first >> 8), Byte(run->first),
                                   Byte(size >> 8), Byte(size)});
        for (; run != end; ++run)
            patch.push_back(run->second);
    }
    patch.insert(patch.end(), {'E', 'O', 'F'});
    return patch;
}
