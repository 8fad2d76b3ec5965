#include "IpsPatch.h"

#include <iterator>
#include <map>

using Byte = std::uint8_t;

std::vector<Byte> ipsPatch(const image::TableBytes& original, const image::TableBytes& modified,
                           places::Layout layout, std::span<const image::ChecksumFields> checksum) {
    // Image offset -> new byte, in the order of the file.
    std::map<std::uint32_t, Byte> changes;
    for (std::size_t place = 0; place < places::count; ++place)
        if (original[place] != modified[place])
            changes[places::fileOffsetOfPlace(place, layout)] = modified[place];
    for (const image::ChecksumFields& fields : checksum)
        for (std::uint32_t i = 0; i < fields.after.size(); ++i)
            if (fields.before[i] != fields.after[i])
                changes[places::fileOffset(fields.romOffset + i, layout)] = fields.after[i];

    std::vector<Byte> patch{'P', 'A', 'T', 'C', 'H'};
    for (auto run = changes.begin(); run != changes.end();) {
        auto end = std::next(run);
        while (end != changes.end() && end->first == std::prev(end)->first + 1)
            ++end;
        const auto size = static_cast<std::uint32_t>(std::distance(run, end));
        patch.insert(patch.end(), {Byte(run->first >> 16), Byte(run->first >> 8), Byte(run->first),
                                   Byte(size >> 8), Byte(size)});
        for (; run != end; ++run)
            patch.push_back(run->second);
    }
    patch.insert(patch.end(), {'E', 'O', 'F'});
    return patch;
}
