// Opens, edits and saves an image built from the fuzz input, then checks the
// file: a save changes nothing outside the three tables and leaves the store's
// values inside them; a refused file keeps every byte.
//
// The input is a recipe rather than the image itself, so that short inputs
// reach the load and save of images of a realistic size:
//   byte 0   bits 0-1: size class (see imageSize); bit 2: load the image as
//            made, then put the patched one in its place before the save
//   byte 1   size parameter
//   then     steps, each an opcode and its operands (missing bytes read as 0):
//            0 region hi lo value   patch a file byte near a region start
//            1 slot value           setEnemyHealth
//            2 slot value           setEnemyDamage
//            3 s0 s1 s2 s3 a b c    setDamageSet with set (s0..s3 as int32)
#include "Core.h"
#include "DemoImage.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<Byte>;

constexpr std::size_t largestImage = 0x100200; // 1 MiB plus a copier header

// Reads the input front to back; past its end every byte is 0.
class InputReader {
public:
    explicit InputReader(std::span<const Byte> input) : input(input) {}
    bool atEnd() const { return at >= input.size(); }
    Byte next() { return atEnd() ? 0 : input[at++]; }
    std::int32_t nextInt32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | next();
        return static_cast<std::int32_t>(value);
    }

private:
    std::span<const Byte> input;
    std::size_t at = 0;
};

std::size_t imageSize(int sizeClass, Byte parameter) {
    switch (sizeClass) {
    case 0: // around the shortest image a load accepts
        return Core::minimumImageSize + static_cast<std::int8_t>(parameter);
    case 1: // around the signature
        return parameter * 8u;
    case 2:
        return largestImage;
    default:
        return Core::minimumImageSize + parameter * 2048u;
    }
}

// `image` with the three tables taken from `tables`.
Bytes withTablesOf(Bytes image, const Bytes& tables) {
    for (const auto& [start, size] :
         {std::pair{Core::damageTableOffset, Core::damageTableSize},
          std::pair{Core::enemyHealthOffset, Core::minimumImageSize - Core::enemyHealthOffset}})
        std::copy_n(tables.begin() + start, size, image.begin() + start);
    return image;
}

bool holdsSignature(const Bytes& image) {
    return image.size() >= Core::signatureOffset + Core::signature.size() &&
           std::equal(Core::signature.begin(), Core::signature.end(),
                      image.begin() + Core::signatureOffset);
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    require(out.good());
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes(fs::file_size(path));
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    require(in.gcount() == std::streamsize(bytes.size()));
    return bytes;
}

// A directory of its own for the image; it holds no names.cfg, so every load
// also takes the missing-names path.
struct Workspace {
    fs::path directory =
        fs::temp_directory_path() / ("tarvon-fuzz-image-" + std::to_string(::getpid()));
    fs::path image = directory / "game.smc";
    Bytes synthetic = makeSyntheticImage(largestImage, 0x5EED);

    Workspace() { fs::create_directories(directory); }
    ~Workspace() { fs::remove_all(directory); }
};

// One edit of the store, kept as well in a plain copy of the image so the
// saved file can be checked against it.
struct Edit {
    enum class Kind { Health, Damage, DamageSet } kind;
    int index;
    std::array<Byte, 3> values;

    void applyTo(Core& core) const {
        switch (kind) {
        case Kind::Health:
            core.setEnemyHealth(static_cast<Byte>(index), values[0]);
            break;
        case Kind::Damage:
            core.setEnemyDamage(static_cast<Byte>(index), values[0]);
            break;
        case Kind::DamageSet:
            core.setDamageSet(index, values[0], values[1], values[2]);
            break;
        }
    }
    void applyTo(Bytes& image) const {
        switch (kind) {
        case Kind::Health:
            image[Core::enemyHealthOffset + static_cast<Byte>(index)] = values[0];
            break;
        case Kind::Damage:
            image[Core::enemyDamageOffset + static_cast<Byte>(index)] = values[0];
            break;
        case Kind::DamageSet:
            std::ranges::copy(values, image.begin() + Core::damageTableOffset + (index & 0x0F) * 3);
            break;
        }
    }
};

struct Recipe {
    std::size_t size = 0;
    bool replacedAfterLoad = false;
    std::vector<std::pair<std::size_t, Byte>> patches;
    std::vector<Edit> edits;
};

Recipe readRecipe(std::span<const Byte> input) {
    InputReader reader(input);
    Recipe recipe;
    const Byte flags = reader.next();
    recipe.size = imageSize(flags & 3, reader.next());
    recipe.replacedAfterLoad = (flags & 4) != 0;
    constexpr std::size_t regionStarts[] = {0, Core::signatureOffset - 0x80,
                                            Core::damageTableOffset - 0x80,
                                            Core::enemyHealthOffset - 0x80};
    while (!reader.atEnd()) {
        switch (reader.next() % 4) {
        case 0: {
            const std::size_t start = regionStarts[reader.next() % 4];
            const std::size_t high = reader.next();
            const std::size_t offset = start + (high << 8 | reader.next());
            const Byte value = reader.next();
            if (offset < recipe.size)
                recipe.patches.emplace_back(offset, value);
            break;
        }
        case 1: {
            const Byte slot = reader.next();
            recipe.edits.push_back({Edit::Kind::Health, slot, {reader.next(), 0, 0}});
            break;
        }
        case 2: {
            const Byte slot = reader.next();
            recipe.edits.push_back({Edit::Kind::Damage, slot, {reader.next(), 0, 0}});
            break;
        }
        default: {
            const std::int32_t set = reader.nextInt32();
            const Byte armor1 = reader.next();
            const Byte armor2 = reader.next();
            recipe.edits.push_back({Edit::Kind::DamageSet, set, {armor1, armor2, reader.next()}});
            break;
        }
        }
    }
    return recipe;
}

// Every value the store's getters give equals the same byte of `image`.
bool storeMatches(const Core& core, const Bytes& image) {
    for (int slot = 0; slot < 256; ++slot) {
        const auto byteSlot = static_cast<Byte>(slot);
        if (core.getEnemyHealth(byteSlot) != image[Core::enemyHealthOffset + slot] ||
            core.getEnemyDamage(byteSlot) != image[Core::enemyDamageOffset + slot])
            return false;
    }
    for (int set = 0; set < 16; ++set) {
        const DamageRow row = core.getDamageSet(set);
        if (!std::equal(row.begin(), row.end(), image.begin() + Core::damageTableOffset + set * 3))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const Byte* data, std::size_t size) {
    static const Workspace workspace;
    const Recipe recipe = readRecipe({data, size});

    const Bytes original(workspace.synthetic.begin(),
                         workspace.synthetic.begin() + std::ptrdiff_t(recipe.size));
    Bytes patched = original;
    for (const auto& [offset, value] : recipe.patches)
        patched[offset] = value;
    const Bytes& opened = recipe.replacedAfterLoad ? original : patched;
    writeFile(workspace.image, opened);

    Core core(workspace.directory);
    core.setRomPath(workspace.image.string());
    const bool valid = core.isValidRom().ok();
    require(valid == holdsSignature(opened));
    const bool loaded = core.loadRom().ok();
    require(loaded == (valid && opened.size() >= Core::minimumImageSize));
    require(readFile(workspace.image) == opened);
    require(!loaded || storeMatches(core, opened));

    // What the tables should hold after the edits: the bytes as loaded, edited.
    Bytes tables = opened;
    for (const Edit& edit : recipe.edits) {
        edit.applyTo(core);
        if (loaded)
            edit.applyTo(tables);
    }
    require(!loaded || storeMatches(core, tables));

    if (recipe.replacedAfterLoad)
        writeFile(workspace.image, patched);
    const bool saved = core.saveRom().ok();
    const Bytes written = readFile(workspace.image);
    require(saved == (holdsSignature(patched) && patched.size() >= Core::minimumImageSize));
    if (!saved) {
        require(written == patched);
        return 0;
    }
    // A file the save accepts has the length and signature the load accepted.
    require(loaded);
    require(written == withTablesOf(patched, tables));
    return 0;
}
