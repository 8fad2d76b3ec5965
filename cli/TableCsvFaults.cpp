#include "TableCsvFaults.h"

#include "SlotText.h"
#include "TerminalText.h"

namespace {

using Kind = TableCsvFault::Kind;

// How messages name a section, its rows and its keys.
struct SectionWords {
    std::string_view name;
    std::string_view keyRule;
    std::string (*keyName)(std::size_t);
};

const SectionWords sectionWords[] = {
    {"enemy", "a slot: slots run 00 to FF",
     [](std::size_t slot) { return "slot " + twoDigitSlot(slot); }},
    {"damage set", "a set: sets run 0 to 15",
     [](std::size_t set) { return "set " + std::to_string(set); }},
    {"damage table byte", "a damage table byte: the bytes here are 48 and 49",
     [](std::size_t index) { return "damage table byte " + std::to_string(index); }},
};

std::string csvFaultMessage(CsvFault::Kind kind) {
    switch (kind) {
    case CsvFault::Kind::QuoteInUnquotedField:
        return "a quote inside an unquoted field (quote the whole field and double each quote "
               "in it)";
    case CsvFault::Kind::TextAfterClosingQuote:
        return "text follows the closing quote of this field";
    case CsvFault::Kind::QuotedFieldNeverCloses:
        return "the quoted field never closes";
    }
    return {};
}

std::string headerText(TableSection section) {
    std::string text;
    for (const std::string_view name : headerOf(section))
        text += (text.empty() ? "" : ",") + std::string(name);
    return text;
}

std::string sharedByteMessage(const TableCsvFault& fault) {
    const std::uint8_t damage = fault.damageByte;
    return "health of slot " + twoDigitSlot(fault.key) + " is " + std::to_string(fault.health) +
           ", but the damage byte of slot " +
           twoDigitSlot(fault.key - places::firstSharedHealthSlot) + " (line " +
           std::to_string(fault.otherLine) + ", columns 4 and 5: damage_set " +
           std::to_string(places::damageSetOf(damage)) + " + 16 x damage_high " +
           std::to_string(damageHighOf(damage)) + ") is " + std::to_string(damage) +
           "; the game keeps the health of slots F3 to FF in the same bytes as the damage byte "
           "of slots 00 to 0C, so the two cells must agree";
}

} // namespace

std::string tableCsvFaultMessage(const TableCsvFault& fault) {
    const SectionWords& section = sectionWords[std::size_t(fault.section)];
    const std::string cell = terminalCell(fault.cell);
    switch (fault.kind) {
    case Kind::NotCsv:
        return csvFaultMessage(fault.csvKind);
    case Kind::FileEndsBeforeHeader:
        return "the file ends before the " + std::string(section.name) + " header";
    case Kind::WrongHeader:
        return "expected the " + std::string(section.name) + " header " +
               terminalCell(headerText(fault.section)) + ", found " + cell;
    case Kind::CellTooMany:
        return cell + " is one cell too many: rows here have " +
               std::to_string(headerOf(fault.section).size()) + " cells";
    case Kind::RowEndsEarly:
        return "the row ends before its " +
               std::string(headerOf(fault.section)[fault.at.column - 1]) + " cell";
    case Kind::NotAKey:
        return cell + " is not " + std::string(section.keyRule);
    case Kind::SecondRow:
        return "a second row for " + section.keyName(fault.key) + " (the first is on line " +
               std::to_string(fault.otherLine) + ")";
    case Kind::RowMissing:
        return "the row of " + section.keyName(fault.key) + " is missing";
    case Kind::NotAByte:
        return cell + " is not a byte value (0 to 255)";
    case Kind::NotFourBits:
        return cell + " is not a four-bit value (0 to 15)";
    case Kind::SharedByteDisagrees:
        return sharedByteMessage(fault);
    }
    return {};
}
