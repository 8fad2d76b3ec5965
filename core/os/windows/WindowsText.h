#pragma once

#include <string>
#include <string_view>
#include <windows.h>

// UTF-8, the programs' own text, to and from Windows' UTF-16.
std::wstring utf16Of(std::string_view utf8);
std::string utf8Of(std::wstring_view utf16);

// The system's own words for `error` (GetLastError() by default), in UTF-8,
// without the closing full stop, as POSIX gives its reasons.
std::string systemReason(DWORD error = GetLastError());
