// Opens, edits and saves an image built from the fuzz input, in memory, with a
// failure injected at a call of the save if the input asks for one, then
// checks the file: a save keeps to the layout the load found (with or without
// a copier header), changes nothing outside the three tables but the image's
// own checksum where it was right, which it keeps right, and leaves the
// store's values inside them; a refused file keeps every byte; a failed save
// leaves the file as it was and says so, or says that it may be partly
// changed, and then only those bytes differ.
//
// The input is a recipe rather than the image itself, so that short inputs
// reach the load and save of images of a realistic size:
//   byte 0   bits 0-1: size class (see imageSize); bit 2: load the image as
//            made, then put the patched one in its place before the save
//            (which stops when table bytes changed, and then merges, keeping mine);
//            bit 3: every call after the failing one fails too; bits 4-7:
//            the call of the save that fails (0: none)
//   byte 1   size parameter
//   then     steps, each an opcode and its operands (missing bytes read as 0):
//            0 region hi lo value   patch a file byte near a region start
//            1 slot value           setEnemyHealth
//            2 slot value           setEnemyDamage
//            3 s0 s1 s2 s3 a b c    setDamageSet with set (s0..s3 as int32)
#include "Checksum.h"
#include "Core.h"
#include "DemoImage.h"
#include "MemoryFileSystem.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<Byte>;
using places::Layout;

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

// `count` bytes of `image` at `offset`.
template <std::size_t count>
std::array<Byte, count> bytesAt(const MemoryFile& image, std::size_t offset) {
    std::array<Byte, count> bytes{};
    image.read(offset, bytes);
    return bytes;
}

bool holdsSignature(const MemoryFile& image, Layout layout) {
    const std::size_t at = image::signatureOffsetIn(layout);
    return image.size() >= at + Core::signature.size() &&
           bytesAt<Core::signature.size()>(image, at) == Core::signature;
}

// The layout of `image` as the store finds it: a copier header's first.
std::optional<Layout> layoutOf(const MemoryFile& image) {
    for (const Layout layout : {Layout::Headered, Layout::Headerless})
        if (holdsSignature(image, layout))
            return layout;
    return std::nullopt;
}

// The two runs of table bytes in an image of `layout`: where, and how many.
std::array<std::pair<std::size_t, std::size_t>, 2> tableRuns(Layout layout) {
    const places::TableOffsets at = places::tableOffsets(layout);
    return {std::pair{at.damageTable, Core::damageTableSize},
            std::pair{at.enemyHealth, at.enemyDamage + Core::enemyCount - at.enemyHealth}};
}
constexpr std::size_t longestRun = Core::minimumImageSize - Core::enemyHealthOffset;

// The file offsets of the checksum fields of each internal header of an
// image of `layout`, `size` bytes long, whose checksum is right.
std::vector<std::size_t> rightChecksumFields(const MemoryFile& image, Layout layout) {
    Bytes bytes(image.size());
    image.read(0, bytes);
    std::vector<std::size_t> fields;
    const auto rom = std::span(bytes).subspan(places::headerSize(layout));
    for (const std::uint32_t header : checksum::rightHeaders(rom))
        fields.push_back(places::fileOffset(header + places::checksumComplementAt, layout));
    return fields;
}

// `image` with what a save writes taken from `saved`: the three tables, and
// the fields of each checksum that was right in `image`.
MemoryFile withSavedBytesOf(MemoryFile image, const MemoryFile& saved, Layout layout) {
    const auto tables = tableRuns(layout);
    std::vector runs(tables.begin(), tables.end());
    for (const std::size_t fields : rightChecksumFields(image, layout))
        runs.emplace_back(fields, places::checksumFieldsSize);
    for (const auto& [start, size] : runs) {
        std::array<Byte, longestRun> bytes{};
        saved.read(start, std::span(bytes).first(size));
        image.write(start, std::span(bytes).first(size));
    }
    return image;
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

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
    void applyTo(MemoryFile& image, Layout layout) const {
        const places::TableOffsets at = places::tableOffsets(layout);
        switch (kind) {
        case Kind::Health:
            image.write(at.enemyHealth + static_cast<Byte>(index), {values.data(), 1});
            break;
        case Kind::Damage:
            image.write(at.enemyDamage + static_cast<Byte>(index), {values.data(), 1});
            break;
        case Kind::DamageSet:
            image.write(at.damageTable + places::damageTableIndex(
                                             places::damageSetOf(static_cast<Byte>(index)), 1),
                        values);
            break;
        }
    }
};

struct Recipe {
    std::size_t size = 0;
    bool replacedAfterLoad = false;
    int failingCall = 0; // of the save; 0: none
    bool failingFromThenOn = false;
    std::vector<std::pair<std::size_t, Byte>> patches;
    std::vector<Edit> edits;
};

Recipe readRecipe(std::span<const Byte> input) {
    InputReader reader(input);
    Recipe recipe;
    const Byte flags = reader.next();
    recipe.size = imageSize(flags & 3, reader.next());
    recipe.replacedAfterLoad = (flags & 4) != 0;
    recipe.failingFromThenOn = (flags & 8) != 0;
    recipe.failingCall = flags >> 4;
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
bool storeMatches(const Core& core, const MemoryFile& image, Layout layout) {
    const places::TableOffsets at = places::tableOffsets(layout);
    std::array<Byte, Core::enemyCount> health{}, damage{};
    for (std::size_t slot = 0; slot < Core::enemyCount; ++slot) {
        health[slot] = core.getEnemyHealth(static_cast<Byte>(slot));
        damage[slot] = core.getEnemyDamage(static_cast<Byte>(slot));
    }
    std::array<Byte, Core::damageTableSize> damageTable{};
    for (std::size_t set = 0; set < 16; ++set)
        std::ranges::copy(core.getDamageSet(int(set)),
                          damageTable.begin() + std::ptrdiff_t(places::damageTableIndex(set, 1)));
    // The last two bytes of the damage table belong to no set; the store keeps them as loaded.
    return health == bytesAt<Core::enemyCount>(image, at.enemyHealth) &&
           damage == bytesAt<Core::enemyCount>(image, at.enemyDamage) &&
           std::equal(damageTable.begin(), damageTable.begin() + 48,
                      bytesAt<Core::damageTableSize>(image, at.damageTable).begin());
}

// After a failed save: the file as it was, or a result that says it may be
// partly changed, and then only bytes a save writes changed.
void requireAllOrNothing(const FileResult& result, const MemoryFile& before,
                         const MemoryFile& after, Layout layout) {
    if (result.kind == FileResult::Kind::PartlyWritten)
        require(withSavedBytesOf(before, after, layout).sameBytesAs(after));
    else
        require(after.sameBytesAs(before));
}

// The table bytes in which `a` and `b`, both long enough, differ.
std::size_t tableBytesChanged(const MemoryFile& a, const MemoryFile& b, Layout layout) {
    std::size_t count = 0;
    for (const auto& [start, size] : tableRuns(layout)) {
        std::array<Byte, longestRun> bytesA{}, bytesB{};
        a.read(start, std::span(bytesA).first(size));
        b.read(start, std::span(bytesB).first(size));
        for (std::size_t i = 0; i < size; ++i)
            count += bytesA[i] != bytesB[i];
    }
    return count;
}

// The tables a merging save keeps: `mine`, but where only the other program
// changed a byte since `base`, that program's byte from `theirs`.
MemoryFile mergedTables(const MemoryFile& base, MemoryFile mine, const MemoryFile& theirs,
                        Layout layout) {
    for (const auto& [start, size] : tableRuns(layout)) {
        for (std::size_t offset = start; offset < start + size; ++offset) {
            const Byte was = bytesAt<1>(base, offset)[0];
            const Byte other = bytesAt<1>(theirs, offset)[0];
            if (other != was && bytesAt<1>(mine, offset)[0] == was)
                mine.write(offset, {&other, 1});
        }
    }
    return mine;
}

// Saves as the main window does when its user answers Keep Mine: an ordinary
// save, which must stop unwritten exactly when `changedSinceLoad` table bytes
// were changed on disk, and then a merging one, asked again with the answer
// Keep Mine when both changed a byte. The failure the recipe asks for is
// injected into each.
FileResult saveAsTheWindowDoes(Core& core, MemoryFileSystem& fileSystem, const Recipe& recipe,
                               std::size_t changedSinceLoad) {
    const MemoryFile before = fileSystem.file;
    fileSystem.calls = 0;
    fileSystem.failingCall = recipe.failingCall;
    fileSystem.failingFromThenOn = recipe.failingFromThenOn;
    const FileResult ordinary = core.saveRom();
    if (ordinary.kind != FileResult::Kind::ChangedOnDisk) {
        require(changedSinceLoad == 0 || fileSystem.failed());
        return ordinary;
    }
    require(ordinary.changedBytes == changedSinceLoad && changedSinceLoad > 0);
    require(fileSystem.file.sameBytesAs(before));
    fileSystem.calls = 0;
    FileResult merged = core.saveRom(Core::SaveMode::Merge);
    if (merged.kind != FileResult::Kind::Conflicts)
        return merged;
    require(fileSystem.file.sameBytesAs(before));
    fileSystem.calls = 0;
    return core.saveRom(Core::SaveMode::Merge,
                        {ConflictAnswer::Choice::KeepMine, merged.conflicts});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const Byte* data, std::size_t size) {
    static const Bytes synthetic = makeSyntheticImage(largestImage, 0x5EED);
    static const std::string path = "/memory/game.smc";
    const Recipe recipe = readRecipe({data, size});

    const MemoryFile original(std::span(synthetic).first(recipe.size));
    MemoryFile patched = original;
    for (const auto& [offset, value] : recipe.patches)
        patched.write(offset, {&value, 1});
    const MemoryFile& opened = recipe.replacedAfterLoad ? original : patched;
    auto fileSystem = std::make_shared<MemoryFileSystem>(path, opened);

    Core core("/memory", fileSystem);
    core.setRomPath(path);
    const FileResult tested = core.isValidRom();
    const std::optional<Layout> layout = layoutOf(opened);
    require(tested.ok() == layout.has_value() && (!layout || tested.layout == *layout));
    const Layout kept = layout.value_or(Layout::Headered);
    const bool loaded = core.loadRom().ok();
    require(loaded == (layout && opened.size() >= image::minimumSizeOf(kept)));
    require(fileSystem->file.sameBytesAs(opened));
    require(!loaded || storeMatches(core, opened, kept));

    // What the tables should hold after the edits: the bytes as loaded, edited.
    MemoryFile tables = opened;
    for (const Edit& edit : recipe.edits) {
        edit.applyTo(core);
        if (loaded)
            edit.applyTo(tables, kept);
    }
    require(!loaded || storeMatches(core, tables, kept));

    // The save keeps to the layout the load found.
    fileSystem->file = patched;
    const bool image =
        holdsSignature(patched, kept) && patched.size() >= image::minimumSizeOf(kept);
    const FileResult saved = saveAsTheWindowDoes(
        core, *fileSystem, recipe,
        loaded && image ? tableBytesChanged(opened, patched, kept) : std::size_t(0));
    const MemoryFile& written = fileSystem->file;
    // Edits stay in memory whatever became of the save; a merge that was
    // reached took in the other program's bytes.
    const MemoryFile merged =
        loaded && image ? mergedTables(opened, tables, patched, kept) : tables;
    require(!loaded || storeMatches(core, tables, kept) || storeMatches(core, merged, kept));
    if (!saved)
        requireAllOrNothing(saved, patched, written, kept);
    if (!image) {
        const bool notAnImage =
            saved.kind == FileResult::Kind::NotTheGame || saved.kind == FileResult::Kind::TooShort;
        require(!saved && (fileSystem->failed() || (notAnImage && saved.bySave)));
        return 0;
    }
    // A file the save accepts has the length and signature the load accepted.
    require(loaded);
    require(saved.ok() == !fileSystem->failed());
    if (!saved)
        return 0;
    // Only the tables changed, and the image's own checksum where it was
    // right, which it still is.
    require(withSavedBytesOf(patched, written, kept).sameBytesAs(written));
    require(rightChecksumFields(written, kept).size() >= rightChecksumFields(patched, kept).size());
    require(storeMatches(core, written, kept) && storeMatches(core, merged, kept));
    return 0;
}
