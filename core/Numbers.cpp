#include "Numbers.h"

#include <locale>
#include <sstream>

std::string withThousands(std::uint64_t number) {
    struct Grouping : std::numpunct<char> {
        char do_thousands_sep() const override { return ','; }
        std::string do_grouping() const override { return "\3"; }
    };
    std::ostringstream text;
    text.imbue(std::locale(text.getloc(), new Grouping));
    text << number;
    return text.str();
}
