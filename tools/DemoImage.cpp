#include "DemoImage.h"

#include "Core.h"

#include <random>

std::vector<std::uint8_t> makeSyntheticImage(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::vector<std::uint8_t> image(size);
    for (auto& byte : image)
        byte = static_cast<std::uint8_t>(anyByte(random));

    auto put = [&](std::size_t offset, int value) {
        if (offset < image.size())
            image[offset] = static_cast<std::uint8_t>(value);
    };
    for (std::size_t i = 0; i < Core::signature.size(); ++i)
        put(Core::signatureOffset + i, Core::signature[i]);
    for (int set = 0; set < 16; ++set)
        for (int armor = 0; armor < 3; ++armor)
            put(Core::damageTableOffset + places::damageTableIndex(std::size_t(set), armor + 1),
                8 + set * 12 - armor * 3);
    for (int slot = 0; slot < 256; ++slot) {
        put(Core::enemyHealthOffset + slot, 1 + (slot * 37) % 255);
        // Damage bytes after slot 12 follow the health table in the file.
        put(Core::enemyDamageOffset + slot,
            places::withDamageSet(static_cast<std::uint8_t>((slot * 5) & 0x30),
                                  static_cast<std::uint8_t>(slot % 10)));
    }
    return image;
}
