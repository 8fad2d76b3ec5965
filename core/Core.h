#pragma once

#include "FileSystem.h"
#include "NameList.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

using Byte = std::uint8_t;
using DamageRow = std::array<Byte, 3>; // armour levels 1, 2, 3

// Outcome of a file operation of the data store. `reason` is a sentence the
// main window can show as it stands; `warning` is set by a load that worked
// but found fault with names.cfg, `readOnlyWarning` by an Open whose image
// cannot be written. A save that found table bytes changed by another program
// since Open (ChangedOnDisk) wrote nothing and counts them in `changedBytes`;
// PartlyWritten is a failed save that may have left some of its bytes.
struct FileResult {
    enum class Kind {
        Ok,
        Unreadable,
        NotTheGame,
        TooShort,
        WriteFailed,
        PartlyWritten,
        ChangedOnDisk
    };
    Kind kind = Kind::Ok;
    std::string reason;
    std::string warning;
    std::string readOnlyWarning;
    std::size_t changedBytes = 0;

    bool ok() const { return kind == Kind::Ok; }
    explicit operator bool() const { return ok(); }
};

// The game data store: the path of the open image, its three tables and the
// enemy names. One instance lives for the whole run.
class Core {
public:
    static constexpr std::uint32_t signatureOffset = 0x400;
    static constexpr std::array<Byte, 4> signature{0xAD, 0x28, 0x01, 0xF0};
    static constexpr std::uint32_t damageTableOffset = 0x37627;
    static constexpr std::uint32_t damageTableSize = 50;
    static constexpr std::uint32_t enemyHealthOffset = 0x6B373;
    static constexpr std::uint32_t enemyDamageOffset = 0x6B466;
    static constexpr std::uint32_t enemyCount = 256;
    static constexpr std::uint32_t minimumImageSize = enemyDamageOffset + enemyCount; // 0x6B566

    // `programDir` is the directory that holds the executable; names.cfg is
    // read from there unless the user keeps one of their own (see
    // namesFilePath). `fileSystem` defaults to the real one.
    explicit Core(std::filesystem::path programDir,
                  std::shared_ptr<FileSystem> fileSystem = realFileSystem());
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;
    virtual ~Core() = default;

    // Whether a save first makes sure that no other program changed the
    // tables in the file since they were loaded or last saved.
    enum class SaveMode { Ordinary, Overwrite };

    // Image file
    // Opening an image: sets its path, tests the signature and, if it passes,
    // loads, and then finds out whether the image can be written.
    FileResult openRom(std::string path);
    void setRomPath(std::string path);
    const std::string& currentRomPath() const { return romPath; }
    FileResult isValidRom() const;
    FileResult loadRom();
    // The same as loadRom without names.cfg, for tools that show no names.
    FileResult loadTables();
    // An ordinary save stops before its first write when the file's table
    // bytes differ from those loaded (ChangedOnDisk); Overwrite writes anyway.
    FileResult saveRom(SaveMode mode = SaveMode::Ordinary);

    // Table accessors. Sets use only their low four bits. The writes are
    // virtual so that a test can watch them.
    DamageRow getDamageSet(int set) const;
    virtual void setDamageSet(int set, Byte armor1, Byte armor2, Byte armor3);
    // Any byte of the damage table by its index, 0 to 49, including the last
    // two, which belong to no set.
    Byte getDamageTableByte(std::size_t index) const;
    void setDamageTableByte(std::size_t index, Byte value);
    Byte getEnemyDamage(Byte slot) const;
    virtual void setEnemyDamage(Byte slot, Byte value);
    Byte getEnemyHealth(Byte slot) const;
    virtual void setEnemyHealth(Byte slot, Byte value);

    // True exactly for a non-empty text of ASCII digits whose value is below 256.
    static bool isByteText(std::string_view text);
    // The value of a text that isByteText accepts; nothing otherwise.
    static std::optional<Byte> byteFromText(std::string_view text);

    // Enemy names: the raw bytes of the line, and the same decoded for display
    // (UTF-8 where the bytes are valid UTF-8, else read as Windows-1252). A
    // name longer than NameList::longestName characters is kept cut, and
    // shown with "…" after the cut.
    std::string getEnemyName(Byte index) const;
    std::string getEnemyDisplayName(Byte index) const;

private:
    // enemyHealth[243..255] and enemyDamage[0..12] are the same file bytes;
    // both tables are windows onto one buffer so they can never disagree.
    static constexpr std::uint32_t enemyBytesSize = minimumImageSize - enemyHealthOffset;

    // The names.cfg a load reads: the user's own,
    // $XDG_CONFIG_HOME/tarvon-addons/names.cfg (~/.config when the variable is
    // unset or empty), when anything is there; else the one in programDir.
    std::filesystem::path namesFilePath() const;
    // Reads names.cfg into enemyNames; returns a warning when it falls short
    // or cut a name.
    std::string loadNames();
    static std::size_t damageRowStart(int set);
    // The file's table bytes, as read by a save, that are neither those of
    // the last load or save nor those a save that failed half-way tried to
    // write.
    std::size_t bytesChangedOnDisk(std::span<const Byte> damageTableFound,
                                   std::span<const Byte> enemyBytesFound) const;

    std::filesystem::path programDir;
    std::shared_ptr<FileSystem> fileSystem;
    std::string romPath;
    std::array<Byte, damageTableSize> damageTable{};
    std::array<Byte, enemyBytesSize> enemyBytes{};
    std::span<Byte, enemyCount> enemyHealth{enemyBytes.data(), enemyCount};
    std::span<Byte, enemyCount> enemyDamage{
        enemyBytes.data() + (enemyDamageOffset - enemyHealthOffset), enemyCount};
    NameList enemyNames;
    // The table bytes as the file held them after the last load or save that
    // worked, and as the last save that may have partly written them tried
    // to write them.
    std::array<Byte, damageTableSize> damageTableOnDisk{}, damageTableTried{};
    std::array<Byte, enemyBytesSize> enemyBytesOnDisk{}, enemyBytesTried{};
};
