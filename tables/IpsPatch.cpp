#include "IpsPatch.h"

namespace {

using Byte = std::uint8_t;

// The image offset of the table byte at `place`.
std::uint32_t imageOffset(std::size_t place) {
    return std::uint32_t(places::isDamageTableByte(place)
                             ? places::damageTableOffset + place
                             : places::enemyHealthOffset + place - places::damageTableSize);
}

} // namespace

std::vector<Byte> ipsPatch(const image::TableBytes& original, const image::TableBytes& modified) {
    const auto differs = [&](std::size_t place) { return original[place] != modified[place]; };
    std::vector<Byte> patch{'P', 'A', 'T', 'C', 'H'};
    for (std::size_t place = 0; place < places::count; ++place) {
        if (!differs(place))
            continue;
        std::size_t end = place + 1;
        while (end < places::count && differs(end) && imageOffset(end) == imageOffset(end - 1) + 1)
            ++end;
        const std::uint32_t offset = imageOffset(place);
        const std::size_t size = end - place;
        patch.insert(patch.end(), {Byte(offset >> 16), Byte(offset >> 8), Byte(offset),
                                   Byte(size >> 8), Byte(size)});
        patch.insert(patch.end(), modified.begin() + place, modified.begin() + end);
        place = end - 1;
    }
    patch.insert(patch.end(), {'E', 'O', 'F'});
    return patch;
}
