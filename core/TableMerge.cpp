#include "TableMerge.h"

MergePlan planMerge(std::span<const std::uint8_t> base, std::span<const std::uint8_t> tried,
                    std::span<const std::uint8_t> mine, std::span<const std::uint8_t> theirs) {
    MergePlan plan;
    for (std::size_t place = 0; place < theirs.size(); ++place) {
        if (theirs[place] == base[place] || theirs[place] == tried[place])
            continue;
        if (mine[place] == base[place])
            plan.taken.push_back({place, mine[place], theirs[place]});
        else if (mine[place] == theirs[place])
            plan.agreed.push_back(place);
        else
            plan.conflicts.push_back({place, base[place], theirs[place], mine[place]});
    }
    return plan;
}
