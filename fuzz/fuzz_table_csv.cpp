// Feeds any text to the table reader of tarvon-tables. It must never crash,
// and whatever it accepts must come back unchanged through the writer, with
// names that need quoting.
#include "TableText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TableCsvResult read = tablesFromCsv(text);
    if (read.error) {
        if (read.error->line == 0 || read.error->column == 0 || read.error->message.empty())
            std::abort();
        return 0;
    }
    const auto awkwardName = [text](Byte slot) {
        return slot % 2 ? std::string(text.substr(0, slot)) : "a \"b\", c\r\nd";
    };
    const TableCsvResult again = tablesFromCsv(tablesToCsv(read.values, awkwardName));
    if (again.error || again.values != read.values)
        std::abort();
    return 0;
}
