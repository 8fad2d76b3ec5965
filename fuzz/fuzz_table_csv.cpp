// Feeds any text to the table reader of tarvon-tables, refusing shared bytes
// whose cells disagree and taking either side of them. It must never crash,
// must report its fault at a real place, and whatever it accepts must come
// back unchanged through the writer, with names that need quoting or would
// be formulas, and again when the written file is spelt as spreadsheets save
// it: rows shuffled within their sections, another separator, CR LF or CR
// line ends, UTF-16 in either byte order. A refusal, as tarvon-tables words
// it, is safe for a terminal: strict UTF-8 without control characters.
#include "TableCsvFaults.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

struct Spelling {
    char separator;
    std::string_view lineEnd;
    int utf16; // 0: UTF-8; 1: little endian; 2: big endian
    std::uint32_t shuffleSeed;
};

// Strict UTF-8 without a control character (C0, DEL, C1).
bool isSafeForTerminal(std::string_view message) {
    if (!isStrictUtf8(message))
        return false;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto c = static_cast<unsigned char>(message[i]);
        const bool c1 = c == 0xC2 && static_cast<unsigned char>(message[i + 1]) < 0xA0;
        if (c < 0x20 || c == 0x7F || c1)
            return false;
    }
    return true;
}

Spelling spellingOf(std::string_view text) {
    const std::uint32_t seed = static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
    constexpr std::string_view separators = ",;\t";
    constexpr std::string_view lineEnds[] = {"\n", "\r\n", "\r"};
    return {separators[seed % 3], lineEnds[seed / 3 % 3], int(seed / 9 % 3), seed};
}

// Each byte as one UTF-16 code unit: the text is ASCII.
std::string utf16(std::string_view text, bool bigEndian) {
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : text)
        wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return wide;
}

// `csv` as written by tablesToCsv, in another spelling.
std::string respelt(std::string_view csv, const Spelling& spelling) {
    std::vector<CsvRecord> records = readCsv(csv).records;
    std::mt19937 random(spelling.shuffleSeed);
    // Each section: its header, its rows, then an empty row (one field).
    for (auto header = records.begin(); header != records.end();) {
        const auto end =
            std::find_if(header, records.end(), [](const CsvRecord& r) { return r.size() == 1; });
        std::shuffle(header + 1, end, random);
        header = end == records.end() ? end : end + 1;
    }
    std::string text;
    for (const CsvRecord& record : records) {
        for (std::size_t i = 0; i < record.size(); ++i)
            text += (i ? std::string(1, spelling.separator) : "") + csvField(record[i].text);
        text += spelling.lineEnd;
    }
    return spelling.utf16 ? utf16(text, spelling.utf16 == 2) : text;
}

// Whatever the reader accepted from `text` comes back unchanged through the
// writer, with awkward names, and again in another spelling.
void requireRoundTrip(std::string_view text, const image::TableBytes& values) {
    const auto awkwardName = [text](std::uint8_t slot) {
        return slot % 2 ? std::string(text.substr(0, slot)) : "=a \"b\"; c\r\nd\t";
    };
    const TableCsvResult again = tablesFromCsv(tablesToCsv(values, awkwardName));
    require(!again.fault && again.values == values);

    // ASCII names, so that the file converts to UTF-16 byte by byte.
    const auto asciiName = [text](std::uint8_t slot) {
        std::string name(text.substr(0, slot % 8));
        for (char& c : name)
            c = static_cast<char>(c & 0x7F);
        return name;
    };
    const std::string csv = tablesToCsv(values, asciiName);
    const TableCsvResult respeltAgain = tablesFromCsv(respelt(csv, spellingOf(text)));
    require(!respeltAgain.fault && respeltAgain.values == values);
}

// A rule that names the winning side refuses no shared byte, reads a text the
// reader accepts as it does, and gives each overridden byte the winner's value.
void requireSideTaken(std::string_view text, const TableCsvResult& refusing, SharedByteRule rule) {
    const TableCsvResult read = tablesFromCsv(text, rule);
    require(!read.fault || read.fault->kind != TableCsvFault::Kind::SharedByteDisagrees);
    if (!refusing.fault)
        require(!read.fault && read.values == refusing.values && read.overridden.empty());
    if (read.fault)
        return;
    for (const SharedByteCells& cells : read.overridden) {
        const std::uint8_t winner =
            rule == SharedByteRule::HealthWins ? cells.health : cells.damageByte;
        require(cells.health != cells.damageByte &&
                read.values[places::ofHealth(cells.healthSlot)] == winner);
    }
    requireRoundTrip(text, read.values);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TableCsvResult read = tablesFromCsv(text);
    if (read.fault) {
        const std::string message = tableCsvFaultMessage(*read.fault);
        require(read.fault->at.line != 0 && read.fault->at.column != 0 && !message.empty());
        require(isSafeForTerminal(message));
    } else {
        requireRoundTrip(text, read.values);
    }
    requireSideTaken(text, read, SharedByteRule::DamageWins);
    requireSideTaken(text, read, SharedByteRule::HealthWins);
    return 0;
}
