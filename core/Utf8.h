#pragma once

#include <string_view>

// Whether `bytes` are UTF-8 in the strict sense, as the system's converters
// judge it (see TextDecoding.h): no overlong sequence, no surrogate (U+D800 to U+DFFF), nothing
// above U+10FFFF, and no sequence cut off at the end.
bool isStrictUtf8(std::string_view bytes);
