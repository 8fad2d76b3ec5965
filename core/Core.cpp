#include "Core.h"

#include "Numbers.h"
#include "StopSignals.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using Kind = FileResult::Kind;

FileResult failure(Kind kind, std::string reason) {
    FileResult result;
    result.kind = kind;
    result.reason = std::move(reason);
    return result;
}

std::string inQuotes(const std::string& path) {
    return '"' + path + '"';
}

// An open image file, closed when it goes out of scope unless close() was
// called first. Only close() reports the system's verdict.
class OpenFile {
public:
    explicit OpenFile(FileSystem& fileSystem) : fileSystem(fileSystem) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (isOpen)
            fileSystem.close(handle);
    }

    std::string openForReading(const std::string& path) {
        return opened(fileSystem.openForReading(path, handle));
    }
    std::string openForWriting(const std::string& path) {
        return opened(fileSystem.openForWriting(path, handle));
    }
    std::string size(std::uint64_t& size) { return fileSystem.size(handle, size); }
    std::string readAt(std::uint64_t offset, std::span<Byte> buffer) {
        return fileSystem.readAt(handle, offset, buffer);
    }
    std::string writeAt(std::uint64_t offset, std::span<const Byte> bytes) {
        return fileSystem.writeAt(handle, offset, bytes);
    }
    std::string flush() { return fileSystem.flush(handle); }
    bool open() const { return isOpen; }
    std::string reserve(std::uint64_t offset, std::uint64_t length) {
        return fileSystem.reserve(handle, offset, length);
    }
    std::string close() {
        isOpen = false;
        return fileSystem.close(handle);
    }

private:
    std::string opened(std::string reason) {
        isOpen = reason.empty();
        return reason;
    }

    FileSystem& fileSystem;
    FileSystem::Handle handle = -1;
    bool isOpen = false;
};

// "Cannot save "/path/game.smc": No space left on device."
std::string cannot(std::string_view action, const std::string& path, const std::string& reason) {
    return "Cannot " + std::string(action) + " " + inQuotes(path) + ": " + reason + ".";
}

std::string nothingSaved(const std::string& path, const std::string& reason) {
    return cannot("save", path, reason) + " Nothing was written; your edits are still here.";
}

std::string partlySaved(const std::string& path, const std::string& reason) {
    return cannot("save", path, reason) +
           " The file may be partly changed: save again before you exit.";
}

// ""/path/game.smc" was changed by another program since it was opened: 3
// table bytes differ from what was loaded."
FileResult changedOnDisk(const std::string& path, std::size_t count) {
    FileResult result = failure(
        Kind::ChangedOnDisk,
        inQuotes(path) + " was changed by another program since it was opened: " +
            std::to_string(count) + (count == 1 ? " table byte differs" : " table bytes differ") +
            " from what was loaded.");
    result.changedBytes = count;
    return result;
}

// Checks the open file's signature, then its length against `neededSize`.
// Returns Ok, or the kind of failure with its reason: the system's for
// Unreadable, what is wrong with the file otherwise ("439,653 bytes long; a
// game image holds at least 439,654 bytes").
FileResult checkImage(OpenFile& file, std::uint64_t neededSize) {
    std::uint64_t size = 0;
    if (std::string reason = file.size(size); !reason.empty())
        return failure(Kind::Unreadable, reason);
    std::array<Byte, Core::signature.size()> found{};
    const bool holdsSignature = size >= Core::signatureOffset + found.size();
    if (holdsSignature) {
        if (std::string reason = file.readAt(Core::signatureOffset, found); !reason.empty())
            return failure(Kind::Unreadable, reason);
    }
    if (!holdsSignature || found != Core::signature)
        return failure(Kind::NotTheGame, "the game's signature is not at 0x400");
    if (size < neededSize)
        return failure(Kind::TooShort, withThousands(size) +
                                           " bytes long; a game image holds at least " +
                                           withThousands(Core::minimumImageSize) + " bytes");
    return {};
}

// A failed check as the signature test and the load report it.
FileResult readRefused(FileResult checked, const std::string& path) {
    switch (checked.kind) {
    case Kind::NotTheGame:
        checked.reason = inQuotes(path) + " is not an image of the game.";
        break;
    case Kind::TooShort:
        checked.reason = inQuotes(path) + " is " + checked.reason + ".";
        break;
    default:
        checked.reason = cannot("read", path, checked.reason);
    }
    return checked;
}

// A failed check as a save reports it: nothing has been written yet.
FileResult saveRefused(FileResult checked, const std::string& path) {
    if (checked.kind == Kind::Unreadable)
        return failure(Kind::WriteFailed, nothingSaved(path, checked.reason));
    checked.reason =
        nothingSaved(path, "it is no longer an image of the game (" + checked.reason + ")");
    return checked;
}

// The bytes a save writes at one offset.
struct Block {
    std::uint32_t offset;
    std::span<const Byte> bytes;
};

using SaveBlocks = std::array<Block, 2>;
using OldBytes = std::array<std::vector<Byte>, 2>;

// Reserves the disk blocks of `blocks` and reads the bytes they will replace
// into `old`; the system's reason when either fails.
std::string prepareBlocks(OpenFile& file, const SaveBlocks& blocks, OldBytes& old) {
    for (const Block& block : blocks)
        if (std::string reason = file.reserve(block.offset, block.bytes.size()); !reason.empty())
            return reason;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        old[i].resize(blocks[i].bytes.size());
        if (std::string reason = file.readAt(blocks[i].offset, old[i]); !reason.empty())
            return reason;
    }
    return {};
}

// Writes `blocks`, flushes and closes; the system's reason when any fails.
// `attempted` counts the blocks whose writing began: a failing write may have
// moved some of its bytes.
std::string writeBlocks(OpenFile& file, const SaveBlocks& blocks, std::size_t& attempted) {
    std::string reason;
    while (reason.empty() && attempted < blocks.size()) {
        const Block& block = blocks[attempted++];
        reason = file.writeAt(block.offset, block.bytes);
    }
    if (reason.empty())
        reason = file.flush();
    if (reason.empty())
        reason = file.close();
    return reason;
}

// Writes `blocks` back into the file, through `file` while it is open, else
// through the file at `path` opened anew; true when they reached the disk.
bool putBack(OpenFile& file, const std::string& path, std::span<const Block> blocks) {
    if (!file.open() && !file.openForWriting(path).empty())
        return false;
    for (const Block& block : blocks)
        if (!file.writeAt(block.offset, block.bytes).empty())
            return false;
    return file.flush().empty() && file.close().empty();
}

// The user's own names file, $XDG_CONFIG_HOME/tarvon-addons/names.cfg, under
// ~/.config when the variable is unset or empty (or, as the XDG base directory
// rules say, not an absolute path); nothing without a home either.
std::filesystem::path userNamesPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    if (config && config[0] == '/')
        folder = config;
    else if (home && home[0] != '\0')
        folder = std::filesystem::path(home) / ".config";
    else
        return {};
    return folder / "tarvon-addons" / "names.cfg";
}

// What a load says of a names file that holds fewer than 256 names; nothing
// for a full one.
std::string namesCountWarning(const std::string& path, std::size_t namedCount) {
    if (namedCount == 0)
        return inQuotes(path) + " holds no names; the enemies are listed without names.";
    if (namedCount < Core::enemyCount)
        return inQuotes(path) + " holds only " + std::to_string(namedCount) +
               (namedCount == 1 ? " name" : " names") +
               "; the other enemies are listed without names.";
    return {};
}

// A slot as the enemy editor's list shows it: "1A".
std::string slotText(std::size_t slot) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    return slot < 16 ? std::string{digits[slot]}
                     : std::string{digits[slot / 16], digits[slot % 16]};
}

// "The name of slot 1A is …", "The names of slots 0, 1, 2 and 9 more are …";
// nothing when no name was cut.
std::string cutNamesWarning(const std::vector<std::size_t>& slots) {
    constexpr std::size_t listed = 3; // four or more: three, and a count
    if (slots.empty())
        return {};
    const std::string limit = std::to_string(NameList::longestName);
    if (slots.size() == 1)
        return "The name of slot " + slotText(slots[0]) + " is longer than " + limit +
               " characters and is shown cut.";
    const std::size_t shown = slots.size() <= listed + 1 ? slots.size() - 1 : listed;
    std::string text = "The names of slots " + slotText(slots[0]);
    for (std::size_t i = 1; i < shown; ++i)
        text += ", " + slotText(slots[i]);
    text += shown + 1 == slots.size() ? " and " + slotText(slots.back())
                                      : " and " + std::to_string(slots.size() - shown) + " more";
    return text + " are longer than " + limit + " characters and are shown cut.";
}

// Two warnings as one text, either of which may be empty.
std::string joinedSentences(const std::string& first, const std::string& second) {
    return first.empty() || second.empty() ? first + second : first + " " + second;
}

// Writes `blocks` over `old`, the bytes they replace, and on failure puts back
// the old bytes of every block whose writing began.
FileResult writeOrPutBack(OpenFile& file, const std::string& path, const SaveBlocks& blocks,
                          const OldBytes& old) {
    const StopSignalsHeld held;
    std::size_t attempted = 0;
    const std::string reason = writeBlocks(file, blocks, attempted);
    if (reason.empty())
        return {};
    const SaveBlocks oldBlocks{Block{blocks[0].offset, old[0]}, Block{blocks[1].offset, old[1]}};
    if (putBack(file, path, std::span(oldBlocks).first(attempted)))
        return failure(Kind::WriteFailed, nothingSaved(path, reason));
    return failure(Kind::PartlyWritten, partlySaved(path, reason));
}

// Reads the table bytes of the image at `path` into `found`, in place order.
FileResult readTables(FileSystem& fileSystem, const std::string& path,
                      std::array<Byte, places::count>& found) {
    OpenFile file(fileSystem);
    if (std::string reason = file.openForReading(path); !reason.empty())
        return failure(Kind::Unreadable, cannot("read", path, reason));
    if (FileResult checked = checkImage(file, Core::minimumImageSize); !checked)
        return readRefused(std::move(checked), path);
    const std::span<Byte> all(found);
    for (const auto& [offset, buffer] :
         {std::pair{Core::damageTableOffset, all.first(places::damageTableSize)},
          std::pair{Core::enemyHealthOffset, all.subspan(places::damageTableSize)}}) {
        if (std::string reason = file.readAt(offset, buffer); !reason.empty())
            return failure(Kind::Unreadable, cannot("read", path, reason));
    }
    // Every byte is in memory; a failing close of a file opened for reading
    // loses nothing.
    file.close();
    return {};
}

// Whether `answer` was given for exactly these conflicts; none need none.
bool answers(const Core::ConflictAnswer& answer, const std::vector<Conflict>& conflicts) {
    return conflicts.empty() || answer.conflicts == conflicts;
}

} // namespace

Core::Core(std::filesystem::path programDir, std::shared_ptr<FileSystem> fileSystem)
    : programDir(std::move(programDir)), fileSystem(std::move(fileSystem)) {}

FileResult Core::openRom(std::string path) {
    std::string previousPath = std::exchange(romPath, std::move(path));
    FileResult check = isValidRom();
    if (check)
        check = loadRom();
    if (!check) {
        romPath = std::move(previousPath);
        return check;
    }
    if (!fileSystem->checkWritable(romPath).empty())
        check.readOnlyWarning = inQuotes(romPath) +
                                " is read-only: you can look at the tables, but Save will fail "
                                "until the file can be written.";
    return check;
}

void Core::setRomPath(std::string path) {
    romPath = std::move(path);
}

FileResult Core::isValidRom() const {
    OpenFile file(*fileSystem);
    if (std::string reason = file.openForReading(romPath); !reason.empty())
        return failure(Kind::Unreadable, cannot("read", romPath, reason));
    // Only the signature matters here; the length is checked by the load.
    if (FileResult checked = checkImage(file, 0); !checked)
        return readRefused(std::move(checked), romPath);
    return {};
}

FileResult Core::loadRom() {
    FileResult result = loadTables();
    if (result)
        result.warning = loadNames();
    return result;
}

FileResult Core::loadTables() {
    Tables found{};
    if (FileResult read = readTables(*fileSystem, romPath, found); !read)
        return read;
    tables = base = tried = found;
    journal.clear();
    tablesChanged();
    return {};
}

FileResult Core::takeOutsideChanges() {
    Tables found{};
    if (FileResult read = readTables(*fileSystem, romPath, found); !read)
        return read;
    const MergePlan plan = planMerge(base, tried, tables, found);
    FileResult result;
    result.takenValues = takeTheirs(plan, false);
    result.conflicts = plan.conflicts;
    return result;
}

std::size_t Core::takeTheirs(const MergePlan& plan, bool alsoConflicts) {
    std::vector<ByteChange> taken = plan.taken;
    if (alsoConflicts)
        for (const Conflict& conflict : plan.conflicts)
            taken.push_back({conflict.place, conflict.mine, conflict.theirs});
    for (const ByteChange& change : taken)
        tables[change.place] = base[change.place] = tried[change.place] = change.after;
    for (const std::size_t place : plan.agreed)
        base[place] = tried[place] = tables[place];
    journal.recordClosed(Field{Field::Kind::AnotherProgram, 0}, taken);
    if (!taken.empty() || !plan.agreed.empty())
        tablesChanged();
    return taken.size();
}

std::filesystem::path Core::namesFilePath() const {
    const std::filesystem::path userFile = userNamesPath();
    if (!userFile.empty() && !fileSystem->isMissing(userFile.string()))
        return userFile;
    return programDir / "names.cfg";
}

std::string Core::loadNames() {
    const std::string path = namesFilePath().string();
    std::string contents;
    const std::string reason = fileSystem->readAll(path, contents);
    enemyNames = parseNameList(contents);
    if (!reason.empty())
        return inQuotes(path) + " could not be read (" + reason +
               "); the enemies are listed without names.";
    return joinedSentences(namesCountWarning(path, enemyNames.namedCount),
                           cutNamesWarning(enemyNames.cutSlots));
}

// All or nothing: the blocks are reserved on disk and their old bytes read
// before the first write, so that a failure after it can put them back. The
// old bytes also tell what another program changed in the tables.
FileResult Core::saveRom(SaveMode mode, const ConflictAnswer& answer) {
    OpenFile file(*fileSystem);
    if (std::string reason = file.openForWriting(romPath); !reason.empty())
        return failure(Kind::WriteFailed, nothingSaved(romPath, reason));
    if (FileResult checked = checkImage(file, minimumImageSize); !checked)
        return saveRefused(std::move(checked), romPath);

    // Two blocks: the damage table, and the health and damage tables, which
    // overlap in the file and share their bytes in memory.
    const std::span<const Byte> all(tables);
    const SaveBlocks blocks{Block{damageTableOffset, all.first(damageTableSize)},
                            Block{enemyHealthOffset, all.subspan(damageTableSize)}};
    OldBytes old;
    if (std::string reason = prepareBlocks(file, blocks, old); !reason.empty())
        return failure(Kind::WriteFailed, nothingSaved(romPath, reason));
    Tables found{};
    std::ranges::copy(old[1], std::ranges::copy(old[0], found.begin()).out);
    const MergePlan plan = planMerge(base, tried, tables, found);
    if (mode == SaveMode::Ordinary && plan.changedByThem() > 0) {
        file.close();
        return changedOnDisk(romPath, plan.changedByThem());
    }
    if (!answers(answer, plan.conflicts)) {
        file.close();
        FileResult result = failure(Kind::Conflicts, {});
        result.conflicts = plan.conflicts;
        return result;
    }
    const std::size_t taken = takeTheirs(plan, answer.choice == ConflictAnswer::Choice::TakeTheirs);
    FileResult result = writeOrPutBack(file, romPath, blocks, old);
    result.takenValues = taken;
    if (result.ok() || result.kind == Kind::PartlyWritten)
        tried = tables;
    if (result.ok())
        base = tables;
    tablesChanged();
    return result;
}

DamageRow Core::getDamageSet(int set) const {
    const std::size_t row = damageRowStart(set);
    return {tables[row], tables[row + 1], tables[row + 2]};
}

void Core::setDamageSet(int set, Byte armor1, Byte armor2, Byte armor3) {
    const std::size_t row = damageRowStart(set);
    setDamageTableByte(row, armor1);
    setDamageTableByte(row + 1, armor2);
    setDamageTableByte(row + 2, armor3);
}

Byte Core::getDamageTableByte(std::size_t index) const {
    return tables.at(places::ofDamageTableByte(index));
}

void Core::setDamageTableByte(std::size_t index, Byte value) {
    if (index >= damageTableSize)
        throw std::out_of_range("damage table index");
    setByte(Field{Field::Kind::Damage, int(index)}, places::ofDamageTableByte(index), value);
}

std::size_t Core::damageRowStart(int set) {
    return static_cast<std::size_t>(set & 0x0F) * 3;
}

Byte Core::getEnemyDamage(Byte slot) const {
    return tables[places::ofDamageByte(slot)];
}
void Core::setEnemyDamage(Byte slot, Byte value) {
    setByte(Field{Field::Kind::DamageSet, slot}, places::ofDamageByte(slot), value);
}
Byte Core::getEnemyHealth(Byte slot) const {
    return tables[places::ofHealth(slot)];
}
void Core::setEnemyHealth(Byte slot, Byte value) {
    setByte(Field{Field::Kind::Health, slot}, places::ofHealth(slot), value);
}

void Core::setByte(const Field& field, std::size_t place, Byte value) {
    const ByteChange change{place, tables[place], value};
    if (change.before == change.after)
        return;
    tables[place] = value;
    journal.record(field, {&change, 1});
    tablesChanged();
}

namespace {
std::optional<Field> fieldOf(const EditStep* step) {
    return step ? std::optional(step->field) : std::nullopt;
}
} // namespace

std::optional<Field> Core::nextUndo() const {
    return fieldOf(journal.nextUndo());
}

std::optional<Field> Core::nextRedo() const {
    return fieldOf(journal.nextRedo());
}

std::optional<Field> Core::undo() {
    if (!journal.nextUndo())
        return std::nullopt;
    return applyStep(journal.undo(), &ByteChange::before);
}

std::optional<Field> Core::redo() {
    if (!journal.nextRedo())
        return std::nullopt;
    return applyStep(journal.redo(), &ByteChange::after);
}

Field Core::applyStep(const EditStep& step, Byte ByteChange::*value) {
    for (const ByteChange& change : step.changes)
        tables[change.place] = change.*value;
    tablesChanged();
    return step.field;
}

Field Core::fieldAt(std::size_t place) const {
    if (std::optional<Field> edited = journal.lastFieldAt(place))
        return *edited;
    if (places::isDamageTableByte(place))
        return {Field::Kind::Damage, int(place)};
    if (places::isHealth(place))
        return {Field::Kind::Health, places::healthSlot(place)};
    return {Field::Kind::DamageSet, places::damageSlot(place)};
}

void Core::setChangeListener(std::function<void()> listener) {
    changeListener = std::move(listener);
}

void Core::tablesChanged() const {
    if (changeListener)
        changeListener();
}

bool Core::isByteText(std::string_view text) {
    return byteFromText(text).has_value();
}

std::optional<Byte> Core::byteFromText(std::string_view text) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || !std::ranges::all_of(text, isDigit))
        return std::nullopt;
    // Leading zeros carry no value, so any number of them is fine; at most
    // three significant digits remain to be added up.
    const std::string_view significant =
        text.substr(std::min(text.find_first_not_of('0'), text.size()));
    if (significant.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const char c : significant)
        value = value * 10 + (c - '0');
    if (value > 255)
        return std::nullopt;
    return static_cast<Byte>(value);
}

std::string Core::getEnemyName(Byte index) const {
    return enemyNames.names[index];
}

std::string Core::getEnemyDisplayName(Byte index) const {
    return enemyNames.shownNames[index];
}
