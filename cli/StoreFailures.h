#pragma once

#include "FileResult.h"

#include <string>

// tarvon-tables' words for what the data store reports, in the style of its
// other messages: lower case, no full stop, the image's state said last.

// A failed load: "cannot read "a.smc": No such file or directory".
std::string loadFailure(const FileResult& result);

// What a load with names found amiss in the names file; empty when nothing.
std::string namesWarning(const NamesReport& names);

// A failed save of import, ending with what became of the image.
std::string saveFailure(const FileResult& result);
