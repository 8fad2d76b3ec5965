#pragma once

#include <cstddef>
#include <functional>
#include <iconv.h>
#include <optional>
#include <string_view>

// One of glibc's converters from one encoding to another, open while its
// object lives. Input is fed through it a small piece at a time, so that a
// long input needs no output buffer of its own size.
class TextConverter {
public:
    using Take = std::function<void(std::string_view converted)>;

    TextConverter(const char* from, const char* to);
    TextConverter(const TextConverter&) = delete;
    TextConverter& operator=(const TextConverter&) = delete;
    ~TextConverter();

    // Whether all of `bytes` converts: no unit that does not, none cut off by
    // the end. False where glibc has no such conversion.
    bool convertsWhole(std::string_view bytes);
    // Hands the conversion of `bytes` to `take`, piece by piece; each unit of
    // `unitSize` bytes that does not convert, or is cut off by the end,
    // becomes U+FFFD (the target must be UTF-8). Nothing where glibc has no
    // such conversion.
    void convertReplacing(std::string_view bytes, std::size_t unitSize, const Take& take);

private:
    // Converts `bytes` into `take` up to the end, or up to a unit that does
    // not convert when there is no `replacedUnitSize`; true at the end.
    bool convert(std::string_view bytes, const Take& take,
                 std::optional<std::size_t> replacedUnitSize);

    iconv_t converter;
};
