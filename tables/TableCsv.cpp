#include "TableCsv.h"

#include "Core.h"
#include "NameList.h"
#include "SlotText.h"

#include <algorithm>
#include <charconv>

namespace {

using Byte = std::uint8_t;
using Kind = TableCsvFault::Kind;
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

// The three sections of the file, in their order. A row's key is its first
// cell: a slot, a set or a damage table byte.
struct Section {
    TableSection id;
    const Header& header;
    std::size_t firstKey;
    std::size_t keyCount;
    std::optional<std::size_t> (*parseKey)(std::string_view);
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
    {TableSection::Enemies, enemyHeader, 0, places::enemyCount, parseSlot},
    {TableSection::DamageSets, setHeader, 0, places::setCount, parseDecimal},
    {TableSection::LooseBytes, looseHeader, places::firstLooseByte,
     places::damageTableSize - places::firstLooseByte, parseDecimal},
};

// A fault of `kind` at the cell of `row` at `column` (from 0), quoting it.
TableCsvFault cellFault(const CsvRecord& row, std::size_t column, Kind kind) {
    return {.at = {row[column].line, column + 1}, .kind = kind, .cell = row[column].text};
}

// The rows of a CSV text, as the table reader walks through them: empty rows
// left out. Every fault found is kept when it comes before those found so far.
class TableCsvReader {
public:
    // `complete`: whether the records run to the end of the text (they stop
    // at a fault otherwise, and a missing row or header is then no fault).
    TableCsvReader(std::vector<CsvRecord> allRecords, std::size_t endLine, bool complete,
                   SharedByteRule rule)
        : endLine(endLine), complete(complete), rule(rule) {
        for (CsvRecord& record : allRecords) {
            if (!std::ranges::all_of(record, [](const CsvField& f) { return f.text.empty(); }))
                records.push_back(std::move(record));
        }
    }

    TableCsvResult read() {
        for (reading = std::begin(sections); reading != std::end(sections) && readHeader();
             ++reading)
            readRows();
        std::ranges::sort(overridden, {}, &SharedByteCells::healthSlot);
        for (const SharedByteCells& cells : overridden)
            tables[places::ofHealth(cells.healthSlot)] =
                rule == SharedByteRule::HealthWins ? cells.health : cells.damageByte;
        return {tables, firstFault, overridden};
    }

private:
    // Keeps `fault`, found in the section being read, when it comes first.
    void report(TableCsvFault fault) {
        fault.section = reading->id;
        if (!firstFault || fault.at.isBefore(firstFault->at))
            firstFault = std::move(fault);
    }

    bool readHeader() {
        if (next == records.size()) {
            if (complete)
                report({.at = {endLine, 1}, .kind = Kind::FileEndsBeforeHeader});
            return false;
        }
        const CsvRecord& row = records[next++];
        if (!hasWidth(row))
            return false;
        for (std::size_t column = 0; column < reading->header.size(); ++column) {
            if (row[column].text == reading->header[column])
                continue;
            report(cellFault(row, column, Kind::WrongHeader));
            return false;
        }
        return true;
    }

    // The rows of the section, up to the header of a later one, by their key.
    void readRows() {
        const Section& section = *reading;
        lineOfKey.assign(section.keyCount, 0);
        std::size_t lastLine = records[next - 1][0].line;
        for (; next < records.size() && !startsLaterSection(records[next]); ++next) {
            const CsvRecord& row = records[next];
            lastLine = row[0].line;
            if (!hasWidth(row))
                continue;
            const std::optional<std::size_t> key = section.parseKey(row[0].text);
            if (!key || *key < section.firstKey || *key - section.firstKey >= section.keyCount) {
                report(cellFault(row, 0, Kind::NotAKey));
                continue;
            }
            std::size_t& line = lineOfKey[*key - section.firstKey];
            if (line != 0) {
                report({.at = {row[0].line, 1},
                        .kind = Kind::SecondRow,
                        .key = *key,
                        .otherLine = line});
                continue;
            }
            line = row[0].line;
            readValues(row, *key);
        }
        const bool ended = next < records.size() || complete;
        const auto missing = std::ranges::find(lineOfKey, 0);
        if (ended && missing != lineOfKey.end())
            report({.at = {lastLine, 1},
                    .kind = Kind::RowMissing,
                    .key = section.firstKey + std::size_t(missing - lineOfKey.begin())});
    }

    bool startsLaterSection(const CsvRecord& row) const {
        return std::any_of(reading + 1, std::end(sections),
                           [&row](const Section& later) { return row[0].text == later.header[0]; });
    }

    // Whether the row has the header's width: a missing cell, or any
    // non-empty cell beyond it, is a fault.
    bool hasWidth(const CsvRecord& row) {
        const std::size_t width = reading->header.size();
        for (std::size_t column = width; column < row.size(); ++column) {
            if (row[column].text.empty())
                continue;
            report(cellFault(row, column, Kind::CellTooMany));
            return false;
        }
        if (row.size() >= width)
            return true;
        report({.at = {row.back().line, row.size() + 1}, .kind = Kind::RowEndsEarly});
        return false;
    }

    void readValues(const CsvRecord& row, std::size_t key) {
        switch (reading->id) {
        case TableSection::Enemies:
            return readEnemy(static_cast<std::uint8_t>(key), row);
        case TableSection::DamageSets:
            for (int armour = 1; armour <= 3; ++armour)
                tables[places::ofDamageTableByte(places::damageTableIndex(key, armour))] =
                    readByte(row, std::size_t(armour), Kind::NotAByte);
            return;
        case TableSection::LooseBytes:
            tables[places::ofDamageTableByte(key)] = readByte(row, 1, Kind::NotAByte);
        }
    }

    // A cell that is no value is reported and reads as 0.
    void readEnemy(std::uint8_t slot, const CsvRecord& row) {
        const Byte health = readByte(row, HealthColumn, Kind::NotAByte);
        const Byte set = readByte(row, SetColumn, Kind::NotFourBits);
        const Byte damage = places::withDamageSet(
            static_cast<Byte>(readByte(row, HighColumn, Kind::NotFourBits) << 4), set);
        if (slot >= places::firstSharedHealthSlot)
            checkSharedByte(slot, health, tables[places::ofHealth(slot)]);
        if (slot < places::sharedByteCount)
            checkSharedByte(static_cast<std::uint8_t>(places::firstSharedHealthSlot + slot),
                            tables[places::ofDamageByte(slot)], damage);
        tables[places::ofHealth(slot)] = health;
        tables[places::ofDamageByte(slot)] = damage;
    }

    // Health of slots F3 to FF and the damage byte of slots 00 to 0C are one
    // image byte each; a file that gives them different values is ambiguous,
    // unless the rule names the side that wins. Nothing to check until both
    // rows are read.
    void checkSharedByte(std::uint8_t healthSlot, Byte health, Byte damage) {
        const std::size_t healthLine = lineOfKey[healthSlot];
        const std::size_t damageLine = lineOfKey[healthSlot - places::firstSharedHealthSlot];
        if (healthLine == 0 || damageLine == 0 || health == damage)
            return;
        if (rule != SharedByteRule::Refuse) {
            overridden.push_back({healthSlot, health, damage});
            return;
        }
        report({.at = {healthLine, HealthColumn + 1},
                .kind = Kind::SharedByteDisagrees,
                .key = healthSlot,
                .otherLine = damageLine,
                .health = health,
                .damageByte = damage});
    }

    // The value of the cell at `column` (from 0), or 0 with a fault of
    // `kind`: NotAByte, or NotFourBits for a value from 0 to 15.
    Byte readByte(const CsvRecord& row, std::size_t column, Kind kind) {
        const std::optional<Byte> parsed = Core::byteFromText(row[column].text);
        if (parsed && (kind == Kind::NotAByte || *parsed < 16))
            return *parsed;
        report(cellFault(row, column, kind));
        return 0;
    }

    std::vector<CsvRecord> records;
    std::size_t next = 0;
    std::size_t endLine;
    bool complete;
    SharedByteRule rule;
    std::vector<SharedByteCells> overridden;
    const Section* reading = nullptr;
    std::optional<TableCsvFault> firstFault;
    // The line of each row of the section being read, by its key less the
    // section's first; 0 for a row not read.
    std::vector<std::size_t> lineOfKey;
    image::TableBytes tables{};
};

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

std::span<const std::string_view> headerOf(TableSection section) {
    return sections[std::size_t(section)].header;
}

std::string tablesToCsv(const image::TableBytes& tables,
                        const std::function<std::string(std::uint8_t)>& nameOf) {
    const auto cell = [&tables](std::size_t place) { return std::to_string(tables[place]); };
    std::string csv = headerRow(enemyHeader);
    for (std::size_t slot = 0; slot < places::enemyCount; ++slot) {
        const auto enemy = static_cast<std::uint8_t>(slot);
        const Byte damage = tables[places::ofDamageByte(enemy)];
        csv += csvRow({twoDigitSlot(slot), csvTextField(nameOf(enemy)),
                       cell(places::ofHealth(enemy)), std::to_string(places::damageSetOf(damage)),
                       std::to_string(damageHighOf(damage))});
    }
    csv += '\n' + headerRow(setHeader);
    for (std::size_t set = 0; set < places::setCount; ++set) {
        std::vector<std::string> row{std::to_string(set)};
        for (int armour = 1; armour <= 3; ++armour)
            row.push_back(cell(places::ofDamageTableByte(places::damageTableIndex(set, armour))));
        csv += csvRow(row);
    }
    csv += '\n' + headerRow(looseHeader);
    for (std::size_t index = places::firstLooseByte; index < places::damageTableSize; ++index)
        csv += csvRow({std::to_string(index), cell(places::ofDamageTableByte(index))});
    return csv;
}

TableCsvResult tablesFromCsv(std::string_view input, SharedByteRule rule) {
    const std::string decoded = withoutByteOrderMarks(decodeTextFile(input));
    std::string_view text = decoded;
    const std::optional<char> named = takeSeparatorLine(text);
    const std::size_t firstLine = named ? 2 : 1;
    CsvReadResult csv = readCsv(text, named.value_or(headerSeparator(text)), firstLine);
    TableCsvResult result =
        TableCsvReader(std::move(csv.records), csv.endLine, !csv.fault, rule).read();
    if (csv.fault && (!result.fault || csv.fault->at.isBefore(result.fault->at)))
        result.fault =
            TableCsvFault{.at = csv.fault->at, .kind = Kind::NotCsv, .csvKind = csv.fault->kind};
    return result;
}
