#include "Core.h"

#include "NamesFile.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

// Whether `answer` was given for exactly these conflicts; none need none.
bool answers(const ConflictAnswer& answer, const std::vector<Conflict>& conflicts) {
    return conflicts.empty() || answer.conflicts == conflicts;
}

std::optional<Field> fieldOf(const EditStep* step) {
    return step ? std::optional(step->field) : std::nullopt;
}

} // namespace

Core::Core(std::filesystem::path programDir, std::shared_ptr<FileSystem> fileSystem)
    : programDir(std::move(programDir)), fileSystem(std::move(fileSystem)) {}

FileResult Core::openRom(std::string path) {
    std::string previousPath = std::exchange(romPath, std::move(path));
    const std::optional<places::Layout> previousLayout = std::exchange(imageLayout, std::nullopt);
    FileResult opened = isValidRom();
    if (opened)
        opened = loadRom();
    if (!opened) {
        romPath = std::move(previousPath);
        imageLayout = previousLayout;
        return opened;
    }
    opened.notWritableReason = fileSystem->checkWritable(romPath);
    return opened;
}

void Core::setRomPath(std::string path) {
    romPath = std::move(path);
    imageLayout.reset();
}

FileResult Core::holdImage(FileSystem::LockKind kind) {
    heldLock.reset();
    return image::HeldLock::take(*fileSystem, romPath, kind, heldLock);
}

image::Locking Core::locking() const {
    return heldLock ? image::Locking::AlreadyHeld : image::Locking::Wait;
}

FileResult Core::isValidRom() const {
    return image::testSignature(*fileSystem, romPath, imageLayout, locking());
}

FileResult Core::loadRom() {
    FileResult result = loadTables();
    if (result)
        result.names = readNamesFile(*fileSystem, programDir, enemyNames);
    return result;
}

FileResult Core::loadTables() {
    Tables found{};
    const FileResult read = image::readTables(*fileSystem, romPath, imageLayout, found, locking());
    if (!read)
        return read;
    const Before was = before();
    imageLayout = read.layout;
    tables = base = tried = found;
    journal.clear();
    tellChanges(was, true);
    return read;
}

FileResult Core::takeOutsideChanges() {
    Tables found{};
    FileResult result =
        image::readTables(*fileSystem, romPath, imageLayout, found,
                          heldLock ? image::Locking::AlreadyHeld : image::Locking::NoWait);
    if (!result)
        return result;
    const Before was = before();
    const MergePlan plan = planMerge(base, tried, tables, found);
    result.takenValues = takeTheirs(plan, false);
    tellChanges(was);
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
    return taken.size();
}

// The bytes the file holds now tell what another program changed: an
// ordinary save stops at any of them; a merging one takes them in, and stops
// at conflicts it was not told how to settle.
FileResult Core::saveRom(SaveMode mode, const ConflictAnswer& answer) {
    const Before was = before();
    std::size_t taken = 0;
    const auto merge = [&](const Tables& found) {
        const MergePlan plan = planMerge(base, tried, tables, found);
        FileResult decided;
        if (mode == SaveMode::Ordinary && plan.changedByThem() > 0) {
            decided.kind = FileResult::Kind::ChangedOnDisk;
            decided.changedBytes = plan.changedByThem();
        } else if (!answers(answer, plan.conflicts)) {
            decided.kind = FileResult::Kind::Conflicts;
            decided.conflicts = plan.conflicts;
        } else {
            taken = takeTheirs(plan, answer.choice == ConflictAnswer::Choice::TakeTheirs);
        }
        return decided;
    };
    FileResult result =
        image::writeTables(*fileSystem, romPath, imageLayout, tables, merge, locking());
    result.takenValues = taken;
    if (result.ok() || result.kind == FileResult::Kind::PartlyWritten)
        tried = tables;
    if (result.ok())
        base = tables;
    tellChanges(was);
    return result;
}

FileResult Core::saveRomAs(std::string path, places::Layout layout) {
    const FileResult result =
        image::writeImageAs(*fileSystem, romPath, imageLayout, tables, path, layout, locking());
    if (!result)
        return result;
    const Before was = before();
    heldLock.reset(); // the lock of the image opened before
    romPath = std::move(path);
    imageLayout = layout;
    base = tried = tables;
    tellChanges(was);
    return result;
}

FileResult Core::checksumAfterSave(const image::TableBytes& values,
                                   std::vector<image::ChecksumFields>& fields) const {
    return image::checksumAfterSave(*fileSystem, romPath, imageLayout, values, fields, locking());
}

DamageRow Core::getDamageSet(int set) const {
    const std::size_t row = damageRowStart(set);
    return {tables[row], tables[row + 1], tables[row + 2]};
}

void Core::setDamageSet(int set, Byte armor1, Byte armor2, Byte armor3) {
    const std::size_t row = damageRowStart(set);
    const std::array<Byte, 3> values{armor1, armor2, armor3};
    const Before was = before();
    for (std::size_t armour = 0; armour < values.size(); ++armour)
        recordByte(Field{Field::Kind::Damage, int(row + armour)},
                   places::ofDamageTableByte(row + armour), values[armour]);
    tellChanges(was);
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
    return places::damageTableIndex(places::damageSetOf(static_cast<Byte>(set)), 1);
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
    const Before was = before();
    recordByte(field, place, value);
    tellChanges(was);
}

void Core::recordByte(const Field& field, std::size_t place, Byte value) {
    const ByteChange change{place, tables[place], value};
    if (change.before == change.after)
        return;
    tables[place] = value;
    journal.record(field, {&change, 1});
}

void Core::setTableBytes(const Field& field, const Tables& values) {
    std::vector<ByteChange> changes;
    for (std::size_t place = 0; place < places::count; ++place)
        if (tables[place] != values[place])
            changes.push_back({place, tables[place], values[place]});
    const Before was = before();
    tables = values;
    journal.recordClosed(field, changes);
    tellChanges(was);
}

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
    const Before was = before();
    for (const ByteChange& change : step.changes)
        tables[change.place] = change.*value;
    tellChanges(was);
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

void Core::setChangeListener(ChangeListener listener) {
    changeListener = std::move(listener);
}

void Core::tellChanges(const Before& before, bool everyPlace) const {
    TableChange change;
    for (std::size_t place = 0; place < places::count; ++place)
        change.places[place] = everyPlace || before.tables[place] != tables[place];
    change.modifiedFlipped = before.modified != isModified();
    if (changeListener && (change.places.any() || change.modifiedFlipped))
        changeListener(change);
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
