#pragma once

#include "EditJournal.h"
#include "FileResult.h"
#include "FileSystem.h"
#include "ImageFile.h"
#include "NameList.h"
#include "TableChange.h"
#include "TableMerge.h"
#include "TablePlaces.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using Byte = std::uint8_t;
using DamageRow = std::array<Byte, 3>; // armour levels 1, 2, 3

// The game data store: the path of the open image, its three tables and the
// enemy names. One instance lives for the whole run.
class Core {
public:
    static constexpr std::uint32_t signatureOffset = image::signatureOffset;
    static constexpr std::array<Byte, 4> signature = image::signature;
    static constexpr std::uint32_t damageTableOffset = places::damageTableOffset;
    static constexpr std::uint32_t damageTableSize = places::damageTableSize;
    static constexpr std::uint32_t enemyHealthOffset = places::enemyHealthOffset;
    static constexpr std::uint32_t enemyDamageOffset = places::enemyDamageOffset;
    static constexpr std::uint32_t enemyCount = places::enemyCount;
    static constexpr std::uint32_t minimumImageSize = image::minimumSize;

    // `programDir` is the directory that holds the executable; names.cfg is
    // read from there unless the user keeps one of their own (see
    // NamesFile.h). `fileSystem` defaults to the real one.
    explicit Core(std::filesystem::path programDir,
                  std::shared_ptr<FileSystem> fileSystem = realFileSystem());
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;
    ~Core() = default;

    // What a save does with table bytes another program changed in the file
    // since they were loaded or last saved: an ordinary save refuses to write
    // (ChangedOnDisk); a merging one keeps them, takes into memory those this
    // program left alone, and asks about those both changed (Conflicts)
    // unless `ConflictAnswer` answers them.
    enum class SaveMode { Ordinary, Merge };
    using ConflictAnswer = ::ConflictAnswer;

    // Image file. Every result names the image's path.
    // Opening an image: tests the signature and, if it passes, loads, sets
    // the path, and then finds out whether the image can be written. A
    // refused file leaves the path as it was.
    FileResult openRom(std::string path);
    // A new path has no layout until the image there is loaded.
    void setRomPath(std::string path);
    // The layout of the image, as its first load found it or Save As wrote
    // it (see ImageFile.h); every later read and save of it keeps to it.
    std::optional<places::Layout> layout() const { return imageLayout; }
    // Holds the image's lock of `kind` for as long as the store lives, so that
    // its loads and saves are one use of the image (tarvon-tables' import);
    // Busy when another program holds it for more than 5 seconds. Without
    // it, each read and save takes the lock for itself.
    FileResult holdImage(FileSystem::LockKind kind);
    FileResult isValidRom() const;
    // Loads the tables, then the names (see FileResult::names).
    FileResult loadRom();
    // The same as loadRom without names.cfg, for tools that show no names.
    FileResult loadTables();
    // Writes the tables into the file; see SaveMode for another program's
    // changes. Conflicts that `answer` lists are settled as it says; any
    // other conflict is reported before anything is written.
    FileResult saveRom(SaveMode mode = SaveMode::Ordinary, const ConflictAnswer& answer = {});
    // Writes the whole image with the tables in memory to a new file at
    // `path`, in `layout` (see image::writeImageAs), then edits that file:
    // its path and layout are the store's, and memory is saved. A failure,
    // and the open image as `path` (TargetIsTheImage), change nothing.
    FileResult saveRomAs(std::string path, places::Layout layout);
    // What a save of `values` would write into the image's own checksum
    // (see image::checksumAfterSave).
    FileResult checksumAfterSave(const image::TableBytes& values,
                                 std::vector<image::ChecksumFields>& fields) const;
    // Reads the file's tables and takes into memory every byte another
    // program changed that this program did not; `takenValues` counts them,
    // `conflicts` lists those both changed, which stay as memory has them
    // until a save. A file that cannot be read changes nothing; nor does one
    // that another program is saving (Busy, at once, without waiting).
    FileResult takeOutsideChanges();

    // Whether memory differs from what the file held after the last load or
    // save, as far as this program knows.
    bool isModified() const { return tables != base; }

    // The edit history (see EditJournal). Each setter below records what it
    // changed; undo and redo apply a step and return its field.
    std::optional<Field> nextUndo() const;
    std::optional<Field> nextRedo() const;
    std::optional<Field> undo();
    std::optional<Field> redo();
    void closeEditStep() { journal.closeStep(); }
    // The field a person edits at `place`: for the 13 shared bytes, the one
    // last edited there, else the health.
    Field fieldAt(std::size_t place) const;

    // Told once at the end of every operation that changed the tables in
    // memory or the unsaved state: what it changed (see TableChange).
    using ChangeListener = std::function<void(const TableChange&)>;
    void setChangeListener(ChangeListener listener);

    // Every table byte in memory, by place (see TablePlaces.h).
    const image::TableBytes& tableBytes() const { return tables; }
    // Sets every table byte to `values`, as one closed step of `field` in the
    // history and one change told to the listener.
    void setTableBytes(const Field& field, const image::TableBytes& values);

    // Table accessors. Sets use only their low four bits.
    DamageRow getDamageSet(int set) const;
    void setDamageSet(int set, Byte armor1, Byte armor2, Byte armor3);
    // Any byte of the damage table by its index, 0 to 49, including the last
    // two, which belong to no set.
    Byte getDamageTableByte(std::size_t index) const;
    void setDamageTableByte(std::size_t index, Byte value);
    Byte getEnemyDamage(Byte slot) const;
    void setEnemyDamage(Byte slot, Byte value);
    Byte getEnemyHealth(Byte slot) const;
    void setEnemyHealth(Byte slot, Byte value);

    // The value check of every value box and of the tables' text: true exactly
    // for a non-empty text of ASCII digits whose value is below 256, leading
    // zeros allowed.
    static bool isByteText(std::string_view text);
    // The value of a text that isByteText accepts; nothing otherwise.
    static std::optional<Byte> byteFromText(std::string_view text);

    // The name of enemy `index` as text to show: its line of names.cfg, as
    // UTF-8 where the bytes are valid UTF-8, else read as Windows-1252. A
    // name longer than NameList::longestName characters is kept cut, with
    // "…" after the cut.
    std::string getEnemyName(Byte index) const;

private:
    using Tables = image::TableBytes;

    static std::size_t damageRowStart(int set);
    // What memory and the unsaved state were before an operation, to tell
    // the listener what it changed.
    struct Before {
        Tables tables;
        bool modified;
    };
    Before before() const { return {tables, isModified()}; }
    void tellChanges(const Before& before, bool everyPlace = false) const;
    void setByte(const Field& field, std::size_t place, Byte value);
    // Sets the byte at `place` and records it in the history, telling nobody.
    void recordByte(const Field& field, std::size_t place, Byte value);
    // Sets each byte `step` changed to its `before` or `after`.
    Field applyStep(const EditStep& step, Byte ByteChange::*value);
    // Takes in what `plan` found only the other program changed, and, with
    // `alsoConflicts`, its values for the conflicts; both sides' agreed
    // values become the base. Returns how many values were taken.
    std::size_t takeTheirs(const MergePlan& plan, bool alsoConflicts);
    // How a read or save takes the lock: waiting, or held already.
    image::Locking locking() const;

    std::filesystem::path programDir;
    std::shared_ptr<FileSystem> fileSystem;
    std::string romPath;
    std::optional<places::Layout> imageLayout;
    // The table bytes in memory, by place: the overlapping health and damage
    // bytes are one byte each, so they can never disagree.
    Tables tables{};
    NameList enemyNames;
    // The table bytes as the file held them after the last load or save that
    // worked (or as they were taken from another program), and as the last
    // save that may have partly written them tried to write them.
    Tables base{}, tried{};
    EditJournal journal;
    ChangeListener changeListener;
    std::unique_ptr<image::HeldLock> heldLock;
};
