// Writes the synthetic demo image that ships beside the editor.
#include "Checksum.h"
#include "DemoImage.h"
#include "TablePlaces.h"

#include <cstdio>
#include <fstream>
#include <span>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.smc\n", argv[0]);
        return 2;
    }
    constexpr std::size_t demoSize = 1'049'088; // 1 MiB plus a 512-byte copier header
    auto image = makeSyntheticImage(demoSize, 0x7A4F0u);
    // A right checksum of its own in the first internal header, which every
    // save keeps right, as it would in an image of the game.
    checksum::makeRight(std::span(image).subspan(places::copierHeaderSize),
                        places::internalHeaders[0]);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
