#pragma once

#include <string>
#include <string_view>

// The encodings names.cfg may be in, decoded by the system's own converters:
// glibc's iconv on POSIX, MultiByteToWideChar on Windows.
enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Windows1252 };

// Whether all of `bytes` is text in `encoding`: no unit that does not decode,
// none cut off by the end. UTF-8 in the strict sense: no overlong sequence,
// no surrogate, nothing above U+10FFFF. Windows-1252's five undefined bytes
// (0x81, 0x8D, 0x8F, 0x90 and 0x9D) are no text on either system.
bool isWholeText(Encoding encoding, std::string_view bytes);

// `bytes`, in UTF-16 or Windows-1252, decoded into UTF-8, each unit that does not decode (a byte,
// or two for UTF-16), or is cut off by the end, as U+FFFD.
std::string decodedToUtf8(Encoding encoding, std::string_view bytes);

// U+FFFD in UTF-8, for what does not decode.
inline constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";
