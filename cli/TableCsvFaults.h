#pragma once

#include "TableCsv.h"

#include <string>

// tarvon-tables' words for what the table reader found wrong in a CSV file,
// without its place: "\"256\" is not a byte value (0 to 255)". Cells are
// shown as terminalCell shows them.
std::string tableCsvFaultMessage(const TableCsvFault& fault);
