#include "Csv.h"

namespace {

// Reads a text record by record, counting its lines.
class CsvReader {
public:
    CsvReader(std::string_view text, char separator, std::size_t firstLine)
        : text(text), separator(separator), line(firstLine) {}

    bool atEnd() const { return position == text.size(); }
    // The line of the next record: after the text's last, once it is read.
    std::size_t nextLine() const { return line; }

    // Reads fields up to the end of the record and its line end.
    std::optional<CsvFault> readRecord(CsvRecord& record) {
        for (;;) {
            CsvField field{{}, line};
            if (std::optional<CsvFault> fault = readField(field, record.size() + 1))
                return fault;
            record.push_back(std::move(field));
            if (atEnd()) {
                ++line; // the last line, without its line end
                return std::nullopt;
            }
            if (text[position] == separator) {
                ++position;
                continue;
            }
            if (const std::size_t length = lineEndLength()) {
                position += length;
                ++line;
                return std::nullopt;
            }
            return CsvFault{{line, record.size()}, CsvFault::Kind::TextAfterClosingQuote};
        }
    }

private:
    // CR LF, LF or a lone CR: 2, 1, 1; anything else 0.
    std::size_t lineEndLength() const {
        if (text.substr(position).starts_with("\r\n"))
            return 2;
        return text[position] == '\n' || text[position] == '\r' ? 1 : 0;
    }

    std::optional<CsvFault> readField(CsvField& field, std::size_t column) {
        if (!atEnd() && text[position] == '"')
            return readQuotedField(field, column);
        while (!atEnd() && text[position] != separator && lineEndLength() == 0) {
            if (text[position] == '"')
                return CsvFault{{line, column}, CsvFault::Kind::QuoteInUnquotedField};
            field.text += text[position++];
        }
        return std::nullopt;
    }

    std::optional<CsvFault> readQuotedField(CsvField& field, std::size_t column) {
        ++position;
        for (;;) {
            if (atEnd())
                return CsvFault{{field.line, column}, CsvFault::Kind::QuotedFieldNeverCloses};
            if (const std::size_t length = lineEndLength()) {
                field.text += text.substr(position, length);
                position += length;
                ++line;
                continue;
            }
            const char c = text[position++];
            if (c == '"') {
                if (atEnd() || text[position] != '"')
                    return std::nullopt;
                ++position;
            }
            field.text += c;
        }
    }

    std::string_view text;
    char separator;
    std::size_t position = 0;
    std::size_t line;
};

std::string quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

CsvReadResult readCsv(std::string_view text, char separator, std::size_t firstLine) {
    CsvReadResult result;
    CsvReader reader(text, separator, firstLine);
    while (!reader.atEnd()) {
        CsvRecord record;
        result.fault = reader.readRecord(record);
        if (result.fault)
            return result;
        result.records.push_back(std::move(record));
    }
    result.endLine = reader.nextLine();
    return result;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",;\t\"\r\n") == std::string_view::npos)
        return std::string(text);
    return quoted(text);
}

std::string csvTextField(std::string_view text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        return quoted("'" + std::string(text));
    return csvField(text);
}
