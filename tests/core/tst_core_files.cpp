// The data store against real files: signature test, load, save, names.cfg,
// and a failure injected at every file operation in turn.
#include "Core.h"
#include "DemoImage.h"
#include "FaultyFileSystem.h"

#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Random bytes everywhere, tables included, with the signature in place.
Bytes randomImage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes image(size);
    for (auto& byte : image)
        byte = static_cast<std::uint8_t>(random());
    std::ranges::copy(Core::signature, image.begin() + Core::signatureOffset);
    return image;
}

// `text`, UTF-8, as UTF-16 in the byte order `order`, without a byte-order mark.
std::string utf16(const std::string& text, QSysInfo::Endian order) {
    std::string bytes;
    for (const char16_t unit : QString::fromStdString(text).toStdU16String()) {
        const char high = char(unit >> 8), low = char(unit & 0xFF);
        bytes += order == QSysInfo::BigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string namesFile(int count, const std::string& lineEnd = "\r\n") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Name " + std::to_string(i) + lineEnd;
    return text;
}

// Everything the windows can see of the store.
struct Snapshot {
    std::vector<DamageRow> damageRows;
    Bytes health, damage;
    std::vector<std::string> names;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Core& core) {
    Snapshot s;
    for (int set = 0; set < 16; ++set)
        s.damageRows.push_back(core.getDamageSet(set));
    for (int slot = 0; slot < 256; ++slot) {
        s.health.push_back(core.getEnemyHealth(Byte(slot)));
        s.damage.push_back(core.getEnemyDamage(Byte(slot)));
        s.names.push_back(core.getEnemyName(Byte(slot)));
    }
    return s;
}

std::vector<std::size_t> differingOffsets(const Bytes& a, const Bytes& b) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            offsets.push_back(i);
    return offsets;
}

using Edit = std::function<void(Core&)>;

} // namespace

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(FileResult::Kind)
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::vector<std::size_t>)

class CoreFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void signatureTest_data();
    void signatureTest();
    void signatureTestNeverCreatesAFile();
    void loadRefusesShortImage();
    void loadThenSaveKeepsEveryByte_data();
    void loadThenSaveKeepsEveryByte();
    void sharedBytesAfterLoad();
    void editChangesExactlyItsBytes_data();
    void editChangesExactlyItsBytes();
    void healthOfSlot250LandsOnDamageOfSlot7();
    void names_data();
    void names();
    void failedLoadKeepsNames();
    void saveRefusesChangedFile_data();
    void saveRefusesChangedFile();
    void saveStopsAtChangesOnDisk_data();
    void saveStopsAtChangesOnDisk();
    void failedSaveKeepsWhatOpenRead_data();
    void failedSaveKeepsWhatOpenRead();
    void stopSignalWaitsForSave_data();
    void stopSignalWaitsForSave();
    void openWarnsOfReadOnlyImage_data();
    void openWarnsOfReadOnlyImage();
    void loadSurvivesFailureAtEachCall();
    void saveSurvivesFailureAtEachCall_data();
    void saveSurvivesFailureAtEachCall();
    void saveIntoFullFileSystem();
    void unusualSystemAnswers_data();
    void unusualSystemAnswers();
    void ioIsAFewBlockCalls();

private:
    std::unique_ptr<QTemporaryDir> dir;
    fs::path programDir() const { return dir->path().toStdString(); }
    fs::path imagePath() const { return programDir() / "game.smc"; }
    // A store loaded from `image` written to imagePath().
    std::unique_ptr<Core> loaded(const Bytes& image,
                                 std::shared_ptr<FileSystem> fileSystem = realFileSystem());
};

void CoreFilesTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    writeText(programDir() / "names.cfg", namesFile(256));
}

std::unique_ptr<Core> CoreFilesTest::loaded(const Bytes& image,
                                            std::shared_ptr<FileSystem> fileSystem) {
    writeBytes(imagePath(), image);
    auto core = std::make_unique<Core>(programDir(), std::move(fileSystem));
    core->setRomPath(imagePath().string());
    const FileResult result = core->loadRom();
    if (!result)
        qWarning("load failed: %s", result.reason.c_str());
    return core;
}

void CoreFilesTest::signatureTest_data() {
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<FileResult::Kind>("kind");
    const Bytes good = makeSyntheticImage(0x100000, 1);
    QTest::addRow("signature") << good << FileResult::Kind::Ok;
    QTest::addRow("rest is anything") << randomImage(0x404, 2) << FileResult::Kind::Ok;
    for (std::size_t i = 0; i < 4; ++i) {
        Bytes changed = good;
        changed[Core::signatureOffset + i] ^= 0x01;
        QTest::addRow("byte %zu different", i) << changed << FileResult::Kind::NotTheGame;
    }
    Bytes moved(0x1000, 0);
    std::ranges::copy(Core::signature, moved.begin() + Core::signatureOffset + 1);
    QTest::addRow("signature one byte later") << moved << FileResult::Kind::NotTheGame;
    std::ranges::copy(Core::signature, moved.begin());
    QTest::addRow("signature at the start") << moved << FileResult::Kind::NotTheGame;
    QTest::addRow("too short for the signature")
        << Bytes(good.begin(), good.begin() + 0x403) << FileResult::Kind::NotTheGame;
    QTest::addRow("empty file") << Bytes{} << FileResult::Kind::NotTheGame;
}

void CoreFilesTest::signatureTest() {
    QFETCH(Bytes, image);
    QFETCH(FileResult::Kind, kind);
    writeBytes(imagePath(), image);
    Core core(programDir());
    core.setRomPath(imagePath().string());
    const FileResult result = core.isValidRom();
    QCOMPARE(result.kind, kind);
    QCOMPARE(result.reason.empty(), result.ok());
    QCOMPARE(readBytes(imagePath()), image);
}

void CoreFilesTest::signatureTestNeverCreatesAFile() {
    Core core(programDir());
    for (const fs::path& path : {programDir() / "missing.smc", programDir()}) {
        core.setRomPath(path.string());
        const FileResult result = core.isValidRom();
        QCOMPARE(result.kind, FileResult::Kind::Unreadable);
        QVERIFY2(result.reason.starts_with("Cannot read \"" + path.string() + "\": "),
                 result.reason.c_str());
    }
    QVERIFY(core.isValidRom().reason.ends_with(": Not a regular file."));
    core.setRomPath((programDir() / "missing.smc").string());
    QCOMPARE(core.isValidRom().reason,
             "Cannot read \"" + core.currentRomPath() + "\": No such file or directory.");
    QVERIFY(!fs::exists(programDir() / "missing.smc"));
}

void CoreFilesTest::loadRefusesShortImage() {
    const Bytes good = makeSyntheticImage(0x100000, 5);
    auto core = loaded(good);
    const Snapshot before = snapshot(*core);

    writeBytes(imagePath(), Bytes(good.begin(), good.begin() + Core::minimumImageSize - 1));
    const FileResult result = core->loadRom();
    QCOMPARE(result.kind, FileResult::Kind::TooShort);
    QCOMPARE(result.reason, "\"" + imagePath().string() +
                                "\" is 439,653 bytes long; a game image holds at least "
                                "439,654 bytes.");
    QVERIFY(snapshot(*core) == before);

    writeBytes(imagePath(), Bytes(good.begin(), good.begin() + Core::minimumImageSize));
    QVERIFY(core->loadRom().ok());
}

void CoreFilesTest::loadThenSaveKeepsEveryByte_data() {
    QTest::addColumn<Bytes>("image");
    QTest::addRow("random 1 MiB") << randomImage(0x100000, 7);
    QTest::addRow("random, shortest") << randomImage(Core::minimumImageSize, 8);
    QTest::addRow("synthetic") << makeSyntheticImage(0x100200, 9);
}

void CoreFilesTest::loadThenSaveKeepsEveryByte() {
    QFETCH(Bytes, image);
    auto core = loaded(image);
    const FileResult saved = core->saveRom();
    QVERIFY2(saved.ok(), saved.reason.c_str());
    QCOMPARE(readBytes(imagePath()), image);
}

void CoreFilesTest::sharedBytesAfterLoad() {
    const Bytes image = randomImage(0x100000, 11);
    auto core = loaded(image);
    for (int slot = 0; slot < 256; ++slot) {
        QCOMPARE(core->getEnemyHealth(Byte(slot)), image[Core::enemyHealthOffset + slot]);
        QCOMPARE(core->getEnemyDamage(Byte(slot)), image[Core::enemyDamageOffset + slot]);
    }
    for (int set = 0; set < 16; ++set)
        for (int armor = 0; armor < 3; ++armor)
            QCOMPARE(core->getDamageSet(set)[std::size_t(armor)],
                     image[Core::damageTableOffset + std::size_t(set * 3 + armor)]);
}

void CoreFilesTest::editChangesExactlyItsBytes_data() {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<std::vector<std::size_t>>("offsets");
    QTest::addColumn<Bytes>("values");
    QTest::addRow("health of slot 0") << Edit([](Core& c) { c.setEnemyHealth(0, 0x11); })
                                      << std::vector<std::size_t>{0x6B373} << Bytes{0x11};
    QTest::addRow("health of slot 242") << Edit([](Core& c) { c.setEnemyHealth(242, 0x12); })
                                        << std::vector<std::size_t>{0x6B465} << Bytes{0x12};
    QTest::addRow("health of slot 250") << Edit([](Core& c) { c.setEnemyHealth(250, 0x13); })
                                        << std::vector<std::size_t>{0x6B46D} << Bytes{0x13};
    QTest::addRow("damage of slot 0") << Edit([](Core& c) { c.setEnemyDamage(0, 0x14); })
                                      << std::vector<std::size_t>{0x6B466} << Bytes{0x14};
    QTest::addRow("damage of slot 13") << Edit([](Core& c) { c.setEnemyDamage(13, 0x15); })
                                       << std::vector<std::size_t>{0x6B473} << Bytes{0x15};
    QTest::addRow("damage of slot 255") << Edit([](Core& c) { c.setEnemyDamage(255, 0x16); })
                                        << std::vector<std::size_t>{0x6B565} << Bytes{0x16};
    QTest::addRow("damage set 0") << Edit([](Core& c) { c.setDamageSet(0, 1, 2, 3); })
                                  << std::vector<std::size_t>{0x37627, 0x37628, 0x37629}
                                  << Bytes{1, 2, 3};
    QTest::addRow("damage set 3") << Edit([](Core& c) { c.setDamageSet(3, 4, 5, 6); })
                                  << std::vector<std::size_t>{0x37630, 0x37631, 0x37632}
                                  << Bytes{4, 5, 6};
    QTest::addRow("damage set 15")
        << Edit([](Core& c) { c.setDamageSet(15, 7, 8, 9); })
        << std::vector<std::size_t>{0x37654, 0x37655, 0x37656} << Bytes{7, 8, 9};
}

void CoreFilesTest::editChangesExactlyItsBytes() {
    QFETCH(Edit, edit);
    QFETCH(std::vector<std::size_t>, offsets);
    QFETCH(Bytes, values);
    // Zero tables, so that every value above is a change.
    Bytes image = randomImage(0x100000, 13);
    std::fill_n(image.begin() + Core::damageTableOffset, Core::damageTableSize, 0);
    std::fill(image.begin() + Core::enemyHealthOffset, image.begin() + Core::minimumImageSize, 0);
    auto core = loaded(image);

    edit(*core);
    QVERIFY(core->saveRom().ok());
    const Bytes saved = readBytes(imagePath());
    QCOMPARE(saved.size(), image.size());
    QCOMPARE(differingOffsets(image, saved), offsets);
    for (std::size_t i = 0; i < offsets.size(); ++i)
        QCOMPARE(saved[offsets[i]], values[i]);
}

void CoreFilesTest::healthOfSlot250LandsOnDamageOfSlot7() {
    auto core = loaded(makeSyntheticImage(0x100000, 17));
    core->setEnemyHealth(250, 0xC8);
    QCOMPARE(core->getEnemyDamage(7), Byte{0xC8});
    QVERIFY(core->saveRom().ok());
    QCOMPARE(readBytes(imagePath())[0x6B46D], std::uint8_t{0xC8});

    Core reloaded(programDir());
    reloaded.setRomPath(imagePath().string());
    QVERIFY(reloaded.loadRom().ok());
    QCOMPARE(reloaded.getEnemyHealth(250), Byte{0xC8});
    QCOMPARE(reloaded.getEnemyDamage(7), Byte{0xC8});
}

void CoreFilesTest::names_data() {
    QTest::addColumn<std::string>("contents"); // "<missing>": no names.cfg
    QTest::addColumn<QString>("warning");
    QTest::addColumn<std::string>("name0");
    QTest::addColumn<std::string>("name255");
    QTest::addRow("256 names") << namesFile(256) << QString() << std::string("Name 0")
                               << std::string("Name 255");
    QTest::addRow("300 names, LF")
        << namesFile(300, "\n") << QString() << std::string("Name 0") << std::string("Name 255");
    QTest::addRow("12 names") << namesFile(12)
                              << "names.cfg holds only 12 names; the other enemies are listed "
                                 "without names."
                              << std::string("Name 0") << std::string();
    QTest::addRow("1 name") << std::string("Slime")
                            << "names.cfg holds only 1 name; the other enemies are listed "
                               "without names."
                            << std::string("Slime") << std::string();
    QTest::addRow("empty") << std::string()
                           << "names.cfg holds no names; the enemies are listed without names."
                           << std::string() << std::string();
    const std::string longName(3 << 20, 'x');
    QTest::addRow("3 MiB first line")
        << longName + "\n" + namesFile(255) << QString() << longName << std::string("Name 254");
    const std::string dragon = "Dr\u00E4gon";
    QTest::addRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + dragon + "\r\n" + namesFile(255)
                                                << QString() << dragon << std::string("Name 254");
    for (const auto& [order, mark] : {std::pair{QSysInfo::LittleEndian, "\xFF\xFE"},
                                      std::pair{QSysInfo::BigEndian, "\xFE\xFF"}})
        QTest::addRow("UTF-16 %s with byte-order mark",
                      order == QSysInfo::LittleEndian ? "little-endian" : "big-endian")
            << mark + utf16(dragon + "\r\n" + namesFile(255), order) << QString() << dragon
            << std::string("Name 254");
    QTest::addRow("larger than 16 MiB")
        << std::string((16 << 20) + 1, 'a')
        << "names.cfg could not be read from %1 (Larger than 16 MiB); the enemies are listed "
           "without names."
        << std::string() << std::string();
    QTest::addRow("missing") << std::string("<missing>")
                             << "names.cfg could not be read from %1 (No such file or "
                                "directory); the enemies are listed without names."
                             << std::string() << std::string();
}

void CoreFilesTest::names() {
    QFETCH(std::string, contents);
    QFETCH(QString, warning);
    QFETCH(std::string, name0);
    QFETCH(std::string, name255);
    if (contents == "<missing>")
        fs::remove(programDir() / "names.cfg");
    else
        writeText(programDir() / "names.cfg", contents);

    writeBytes(imagePath(), makeSyntheticImage(0x100000, 19));
    Core core(programDir());
    core.setRomPath(imagePath().string());
    const FileResult result = core.loadRom();
    QVERIFY(result.ok());
    if (warning.contains("%1"))
        warning = warning.arg(dir->path());
    QCOMPARE(QString::fromStdString(result.warning), warning);
    QCOMPARE(core.getEnemyName(0), name0);
    QCOMPARE(core.getEnemyName(255), name255);
}

void CoreFilesTest::failedLoadKeepsNames() {
    writeText(programDir() / "names.cfg", "Slime\r\nDr\xE4gon\r\n");
    auto core = loaded(makeSyntheticImage(0x100000, 23));
    QCOMPARE(core->getEnemyName(1), std::string("Dr\xE4gon"));
    QCOMPARE(core->getEnemyDisplayName(1), std::string("Dr\u00E4gon"));

    writeText(programDir() / "names.cfg", namesFile(256));
    writeBytes(imagePath(), Bytes(0x100, 0));
    QVERIFY(!core->loadRom().ok());
    QCOMPARE(core->getEnemyName(0), std::string("Slime"));
}

void CoreFilesTest::saveRefusesChangedFile_data() {
    QTest::addColumn<Bytes>("replacement"); // empty: the file is deleted
    QTest::addColumn<FileResult::Kind>("kind");
    const Bytes good = makeSyntheticImage(0x100000, 29);
    QTest::addRow("deleted") << Bytes{} << FileResult::Kind::WriteFailed;
    QTest::addRow("not the game") << randomImage(0x100000, 31) << FileResult::Kind::NotTheGame;
    QTest::addRow("truncated") << Bytes(good.begin(), good.begin() + Core::minimumImageSize - 1)
                               << FileResult::Kind::TooShort;
    QTest::addRow("cut to the signature")
        << Bytes(good.begin(), good.begin() + 0x404) << FileResult::Kind::TooShort;
}

void CoreFilesTest::saveRefusesChangedFile() {
    QFETCH(Bytes, replacement);
    QFETCH(FileResult::Kind, kind);
    if (kind == FileResult::Kind::NotTheGame)
        replacement[Core::signatureOffset] = 0;
    auto core = loaded(makeSyntheticImage(0x100000, 29));
    core->setEnemyHealth(100, 1);
    core->setDamageSet(1, 2, 3, 4);
    const Snapshot edited = snapshot(*core);

    if (replacement.empty())
        fs::remove(imagePath());
    else
        writeBytes(imagePath(), replacement);
    const FileResult result = core->saveRom();
    QCOMPARE(result.kind, kind);
    QVERIFY(!result.reason.empty());
    QVERIFY(snapshot(*core) == edited);
    if (replacement.empty())
        QVERIFY(!fs::exists(imagePath()));
    else
        QCOMPARE(readBytes(imagePath()), replacement);
}

void CoreFilesTest::saveStopsAtChangesOnDisk_data() {
    QTest::addColumn<std::vector<std::size_t>>("changedOffsets"); // by another program
    QTest::addColumn<std::string>("question");                    // empty: the save does not stop
    QTest::addRow("a health byte")
        << std::vector<std::size_t>{Core::enemyHealthOffset + 5}
        << std::string("was changed by another program since it was opened: 1 table byte "
                       "differs from what was loaded.");
    QTest::addRow("a damage table byte")
        << std::vector<std::size_t>{Core::damageTableOffset + 49}
        << std::string(": 1 table byte differs from what was loaded.");
    QTest::addRow("three, one of them shared by health and damage")
        << std::vector<std::size_t>{Core::damageTableOffset, Core::enemyHealthOffset + 250,
                                    Core::minimumImageSize - 1}
        << std::string(": 3 table bytes differ from what was loaded.");
    QTest::addRow("bytes outside the tables")
        << std::vector<std::size_t>{Core::damageTableOffset - 1,
                                    Core::damageTableOffset + Core::damageTableSize,
                                    Core::enemyHealthOffset - 1, Core::minimumImageSize}
        << std::string();
}

// Another program changes the file after the load: an ordinary save stops
// before writing, an overwriting one writes the store's tables and nothing
// else, and after it the next ordinary save writes without stopping.
void CoreFilesTest::saveStopsAtChangesOnDisk() {
    QFETCH(std::vector<std::size_t>, changedOffsets);
    QFETCH(std::string, question);
    auto core = loaded(makeSyntheticImage(0x100000, 61));
    core->setEnemyHealth(3, 0xEE);
    core->setDamageSet(2, 0xE1, 0xE2, 0xE3);
    const Snapshot edited = snapshot(*core);
    Bytes outside = readBytes(imagePath());
    for (const std::size_t offset : changedOffsets)
        outside[offset] ^= 0xFF;
    writeBytes(imagePath(), outside);

    const FileResult ordinary = core->saveRom();
    if (!question.empty()) {
        QCOMPARE(ordinary.kind, FileResult::Kind::ChangedOnDisk);
        QVERIFY2(ordinary.reason.starts_with('"' + imagePath().string() + "\" ") &&
                     ordinary.reason.ends_with(question),
                 ordinary.reason.c_str());
        QCOMPARE(ordinary.changedBytes, changedOffsets.size());
        QCOMPARE(readBytes(imagePath()), outside);
        QVERIFY(snapshot(*core) == edited);
        QVERIFY(core->saveRom(Core::SaveMode::Overwrite).ok());
    } else {
        QVERIFY2(ordinary.ok(), ordinary.reason.c_str());
    }
    const Bytes saved = readBytes(imagePath());
    for (const std::size_t offset : changedOffsets)
        if (offset < Core::damageTableOffset || offset >= Core::minimumImageSize ||
            (offset >= Core::damageTableOffset + Core::damageTableSize &&
             offset < Core::enemyHealthOffset))
            QCOMPARE(saved[offset], outside[offset]);
    Core reloaded(programDir());
    reloaded.setRomPath(imagePath().string());
    QVERIFY(reloaded.loadRom().ok());
    QVERIFY(snapshot(reloaded) == edited);

    core->setEnemyHealth(4, 0x44);
    QVERIFY(core->saveRom().ok());
    QCOMPARE(readBytes(imagePath())[Core::enemyHealthOffset + 4], 0x44);
}

void CoreFilesTest::failedSaveKeepsWhatOpenRead_data() {
    QTest::addColumn<bool>("changedBefore"); // by another program, before the failing save
    QTest::addColumn<int>("failingCall");
    QTest::addColumn<bool>("failingFromThenOn");
    QTest::addColumn<FileResult::Kind>("failure");
    QTest::addColumn<bool>("changedAfter");
    QTest::addColumn<FileResult::Kind>("nextSave");
    // Calls: 1 openForWriting ... 4 reserve ... 8 and 9 writeAt, 10 flush.
    QTest::addRow("overwrite fails before writing")
        << true << 4 << false << FileResult::Kind::WriteFailed << false
        << FileResult::Kind::ChangedOnDisk;
    QTest::addRow("overwrite put back") << true << 9 << false << FileResult::Kind::WriteFailed
                                        << false << FileResult::Kind::ChangedOnDisk;
    QTest::addRow("partly written by this program")
        << false << 9 << true << FileResult::Kind::PartlyWritten << false << FileResult::Kind::Ok;
    QTest::addRow("partly written, then changed by another program")
        << false << 9 << true << FileResult::Kind::PartlyWritten << true
        << FileResult::Kind::ChangedOnDisk;
}

// A failed save leaves what counts as the file's tables as it was, except
// that bytes it may have left behind do not count as another program's.
void CoreFilesTest::failedSaveKeepsWhatOpenRead() {
    QFETCH(bool, changedBefore);
    QFETCH(int, failingCall);
    QFETCH(bool, failingFromThenOn);
    QFETCH(FileResult::Kind, failure);
    QFETCH(bool, changedAfter);
    QFETCH(FileResult::Kind, nextSave);
    auto faulty = std::make_shared<FaultyFileSystem>();
    auto core = loaded(makeSyntheticImage(0x100000, 67), faulty);
    const auto changeOnDisk = [this](std::size_t offset) {
        Bytes bytes = readBytes(imagePath());
        bytes[offset] ^= 0xFF;
        writeBytes(imagePath(), bytes);
    };
    if (changedBefore)
        changeOnDisk(Core::enemyHealthOffset + 100);
    for (int slot = 0; slot < 256; ++slot)
        core->setEnemyHealth(Byte(slot), Byte(core->getEnemyHealth(Byte(slot)) ^ 0x0F));
    core->setDamageSet(1, 1, 2, 3);

    faulty->calls.clear();
    faulty->failingCall = failingCall;
    faulty->failingFromThenOn = failingFromThenOn;
    QCOMPARE(core->saveRom(Core::SaveMode::Overwrite).kind, failure);
    faulty->failingCall = 0;
    if (changedAfter)
        changeOnDisk(Core::damageTableOffset + 30);
    const FileResult next = core->saveRom();
    QCOMPARE(next.kind, nextSave);
    if (nextSave == FileResult::Kind::ChangedOnDisk)
        QCOMPARE(next.changedBytes, std::size_t(1));
}

namespace {

// Runs `work` in a child process, which has only this thread, and returns its
// result (0 to 127), or 255 when the child did not end by itself.
int inChildProcess(const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0)
        _exit(work());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

// A save whose first write has a stop signal sent to this process by another
// one, and whose second write may fail. The handler notes how many system
// calls the save had made when the signal reached it.
struct SignalDuringSave {
    static inline const SystemCalls real = posixCalls();
    static inline int callsMade = 0;
    static inline int writes = 0;
    static inline bool secondWriteFails = false;
    static inline bool pendingDuringWrite = false;
    static inline volatile sig_atomic_t callsWhenHandled = -1;

    static void sendStopFromAnotherProcess() {
        const pid_t child = fork();
        if (child == 0) {
            kill(getppid(), SIGTERM);
            _exit(0);
        }
        waitpid(child, nullptr, 0);
        sigset_t pending;
        sigpending(&pending);
        pendingDuringWrite = sigismember(&pending, SIGTERM) == 1;
    }

    static SystemCalls calls() {
        SystemCalls counted = real;
        counted.open = [](const char* path, int flags) {
            ++callsMade;
            return real.open(path, flags);
        };
        counted.pwrite = [](int fd, const void* buffer, size_t count, off_t offset) -> ssize_t {
            ++callsMade;
            if (++writes == 1)
                sendStopFromAnotherProcess();
            if (writes == 2 && secondWriteFails) {
                errno = ENOSPC;
                return -1;
            }
            return real.pwrite(fd, buffer, count, offset);
        };
        counted.fsync = [](int fd) {
            ++callsMade;
            return real.fsync(fd);
        };
        counted.close = [](int fd) {
            ++callsMade;
            return real.close(fd);
        };
        return counted;
    }
};

} // namespace

void CoreFilesTest::stopSignalWaitsForSave_data() {
    QTest::addColumn<bool>("secondWriteFails");
    QTest::addRow("save works") << false;
    QTest::addRow("save put back") << true;
}

// SIGTERM sent while the save writes acts only once the file is whole again:
// after the last call of the save, with the tables written or put back.
// What the program would see of a stop signal that arrives during the save,
// in a child process: like tarvon-tables, it has one thread, which the
// signal, sent to the whole process, must wait for. 0 when it waited until
// the save's last call; 1 when it was not held during the write, 2 when the
// handler ran at another time, 3 when the save gave the wrong result.
int stopSignalDuringSave(Core& core, bool secondWriteFails) {
    return inChildProcess([&] {
        SignalDuringSave::secondWriteFails = secondWriteFails;
        struct sigaction handler {};
        handler.sa_handler = [](int) {
            SignalDuringSave::callsWhenHandled = SignalDuringSave::callsMade;
        };
        sigaction(SIGTERM, &handler, nullptr);
        const FileResult result = core.saveRom();
        if (!SignalDuringSave::pendingDuringWrite)
            return 1;
        if (SignalDuringSave::callsWhenHandled != SignalDuringSave::callsMade)
            return 2;
        return result.ok() == !secondWriteFails ? 0 : 3;
    });
}

void CoreFilesTest::stopSignalWaitsForSave() {
    QFETCH(bool, secondWriteFails);
    const Bytes image = makeSyntheticImage(0x100000, 71);
    auto core = loaded(image, realFileSystem(SignalDuringSave::calls()));
    core->setEnemyHealth(9, Byte(image[Core::enemyHealthOffset + 9] ^ 0xFF));
    core->setDamageSet(0, 7, 8, 9);
    QCOMPARE(stopSignalDuringSave(*core, secondWriteFails), 0);
    Bytes expected = image;
    if (!secondWriteFails) {
        expected[Core::enemyHealthOffset + 9] ^= 0xFF;
        std::ranges::copy(Bytes{7, 8, 9}, expected.begin() + Core::damageTableOffset);
    }
    QCOMPARE(readBytes(imagePath()), expected);
}

void CoreFilesTest::openWarnsOfReadOnlyImage_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("warns");
    QTest::addRow("writable") << "writable" << false;
    QTest::addRow("the file system says read-only") << "file system" << true;
    QTest::addRow("no write permission for this user") << "permission" << true;
    QTest::addRow("read-only bind mount") << "bind mount" << true;
}

namespace {

std::string readOnlyWarning(const fs::path& image) {
    return '"' + image.string() +
           "\" is read-only: you can look at the tables, but Save will fail until the file can "
           "be written.";
}

// What Open says of the image, in a child process that runs as "nobody" when
// this one runs as root (who may write any file): 0 for no warning, 1 for the
// read-only warning, 2 for anything else.
int openedAsAnotherUser(const fs::path& programDir, const fs::path& image) {
    return inChildProcess([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 3;
        Core core(programDir);
        const FileResult result = core.openRom(image.string());
        if (!result)
            return 2;
        if (result.readOnlyWarning.empty())
            return 0;
        return result.readOnlyWarning == readOnlyWarning(image) ? 1 : 2;
    });
}

} // namespace

void CoreFilesTest::openWarnsOfReadOnlyImage() {
    QFETCH(QString, how);
    QFETCH(bool, warns);
    const Bytes image = makeSyntheticImage(0x100000, 73);
    writeBytes(imagePath(), image);
    fs::path path = imagePath();
    if (how == "permission") {
        fs::permissions(programDir(), fs::perms::owner_all | fs::perms::group_read |
                                          fs::perms::group_exec | fs::perms::others_read |
                                          fs::perms::others_exec);
        fs::permissions(imagePath(),
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        QCOMPARE(openedAsAnotherUser(programDir(), imagePath()), 1);
        return;
    }
    if (how == "bind mount") {
        const fs::path mountPoint = programDir() / "read-only";
        fs::create_directory(mountPoint);
        if (::mount(dir->path().toLocal8Bit().constData(), mountPoint.c_str(), nullptr, MS_BIND,
                    nullptr) != 0 ||
            ::mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                    nullptr) != 0) {
            ::umount2(mountPoint.c_str(), MNT_DETACH);
            QSKIP(qPrintable("Cannot make a read-only bind mount here (" +
                             QString::fromLocal8Bit(strerror(errno)) +
                             "), so the read-only mount is not tested"));
        }
        path = mountPoint / "game.smc";
    }
    const auto unmount = qScopeGuard([&] {
        if (how == "bind mount")
            ::umount2((programDir() / "read-only").c_str(), MNT_DETACH);
    });
    auto faulty = std::make_shared<FaultyFileSystem>();
    if (how == "file system")
        faulty->readOnlyPath = path.string();
    Core core(programDir(), faulty);
    const FileResult result = core.openRom(path.string());
    QVERIFY2(result.ok(), result.reason.c_str());
    QCOMPARE(result.readOnlyWarning, warns ? readOnlyWarning(path) : std::string());
    QCOMPARE(readBytes(path), image);
}

void CoreFilesTest::loadSurvivesFailureAtEachCall() {
    const Bytes first = makeSyntheticImage(0x100000, 37);
    const Bytes second = randomImage(0x100000, 41);
    for (int failingCall = 1;; ++failingCall) {
        auto faulty = std::make_shared<FaultyFileSystem>();
        auto core = loaded(first, faulty);
        const Snapshot before = snapshot(*core);
        writeBytes(imagePath(), second);

        faulty->calls.clear();
        faulty->failingCall = failingCall;
        const FileResult result = core->loadRom();
        if (!faulty->failed()) {
            QVERIFY(result.ok());
            QVERIFY2(failingCall > 4, "a load makes several calls");
            break;
        }
        const std::string& failedCall = faulty->calls[std::size_t(failingCall - 1)];
        const QByteArray context = QByteArray::number(failingCall) + " " + failedCall.c_str() +
                                   ": " + result.reason.c_str();
        if (failedCall == "readAll") {
            QVERIFY2(result.ok() && result.warning.find("Injected failure") != std::string::npos,
                     context);
        } else if (failedCall == "close") {
            // Every byte was read already; nothing is lost.
            QVERIFY2(result.ok(), context);
        } else {
            QVERIFY2(result.kind == FileResult::Kind::Unreadable, context);
            QVERIFY2(result.reason.ends_with(": Injected failure."), context);
            QVERIFY2(snapshot(*core) == before, context);
        }
        QCOMPARE(readBytes(imagePath()), second);
    }
}

void CoreFilesTest::saveSurvivesFailureAtEachCall_data() {
    QTest::addColumn<bool>("failingFromThenOn");
    QTest::addRow("one call fails") << false;
    QTest::addRow("every call fails from then on") << true;
}

// Every failure leaves the file as it was and says so, or says that the file
// may be partly changed; then only table bytes differ.
void CoreFilesTest::saveSurvivesFailureAtEachCall() {
    QFETCH(bool, failingFromThenOn);
    const Bytes image = makeSyntheticImage(0x100000, 43);
    for (int failingCall = 1;; ++failingCall) {
        auto faulty = std::make_shared<FaultyFileSystem>();
        auto core = loaded(image, faulty);
        core->setEnemyHealth(3, 0xEE);
        core->setDamageSet(2, 0xE1, 0xE2, 0xE3);
        const Snapshot edited = snapshot(*core);

        faulty->calls.clear();
        faulty->failingCall = failingCall;
        faulty->failingFromThenOn = failingFromThenOn;
        const FileResult result = core->saveRom();
        if (!faulty->failed()) {
            QVERIFY(result.ok());
            QVERIFY2(failingCall > 5, "a save makes several calls");
            break;
        }
        const std::string& failedCall = faulty->calls[std::size_t(failingCall - 1)];
        const QByteArray context = QByteArray::number(failingCall) + " " + failedCall.c_str() +
                                   ": " + result.reason.c_str();
        const std::string cannotSave =
            "Cannot save \"" + imagePath().string() + "\": Injected failure. ";
        const bool nothingWritten =
            result.reason == cannotSave + "Nothing was written; your edits are still here.";
        QVERIFY2(nothingWritten || result.reason == cannotSave + "The file may be partly "
                                                                 "changed: save again before "
                                                                 "you exit.",
                 context);
        // Only a second failure can stop the old bytes from going back.
        QVERIFY2(nothingWritten || failingFromThenOn, context);
        const Bytes left = readBytes(imagePath());
        if (nothingWritten)
            QVERIFY2(left == image, context);
        for (const std::size_t offset : differingOffsets(image, left))
            QVERIFY2((offset >= Core::damageTableOffset &&
                      offset < Core::damageTableOffset + Core::damageTableSize) ||
                         (offset >= Core::enemyHealthOffset && offset < Core::minimumImageSize),
                     context);
        QCOMPARE(left.size(), image.size());
        QVERIFY2(snapshot(*core) == edited, context);

        // The tables are still there: a second try saves them.
        faulty->failingCall = 0;
        QVERIFY2(core->saveRom().ok(), context);
        Core reloaded(programDir());
        reloaded.setRomPath(imagePath().string());
        QVERIFY(reloaded.loadRom().ok());
        QVERIFY2(snapshot(reloaded) == edited, context);
    }
}

void CoreFilesTest::ioIsAFewBlockCalls() {
    auto faulty = std::make_shared<FaultyFileSystem>();
    auto core = loaded(makeSyntheticImage(0x100000, 47), faulty);
    faulty->calls.clear();
    QVERIFY(core->isValidRom().ok());
    QCOMPARE(faulty->calls,
             (std::vector<std::string>{"openForReading", "size", "readAt", "close"}));
    faulty->calls.clear();
    QVERIFY(core->loadRom().ok());
    QCOMPARE(faulty->calls, (std::vector<std::string>{"openForReading", "size", "readAt", "readAt",
                                                      "readAt", "close", "readAll"}));
    faulty->calls.clear();
    QVERIFY(core->openRom(imagePath().string()).ok());
    QCOMPARE(faulty->calls,
             (std::vector<std::string>{"openForReading", "size", "readAt", "close",
                                       "openForReading", "size", "readAt", "readAt", "readAt",
                                       "close", "readAll", "checkWritable"}));
    faulty->calls.clear();
    QVERIFY(core->saveRom().ok());
    QCOMPARE(faulty->calls, (std::vector<std::string>{"openForWriting", "size", "readAt", "reserve",
                                                      "reserve", "readAt", "readAt", "writeAt",
                                                      "writeAt", "flush", "close"}));
    // Changed on disk: the same reads, then the file is closed unwritten.
    Bytes changed = readBytes(imagePath());
    changed[Core::enemyHealthOffset] ^= 0xFF;
    writeBytes(imagePath(), changed);
    faulty->calls.clear();
    QCOMPARE(core->saveRom().kind, FileResult::Kind::ChangedOnDisk);
    QCOMPARE(faulty->calls, (std::vector<std::string>{"openForWriting", "size", "readAt", "reserve",
                                                      "reserve", "readAt", "readAt", "close"}));
}

// A tmpfs filled to the last page while the enemy tables' pages of the image
// are still holes: the save must find out before it writes anything.
void CoreFilesTest::saveIntoFullFileSystem() {
    const fs::path mountPoint = programDir() / "small-disk";
    fs::create_directory(mountPoint);
    if (::mount("tarvon-test", mountPoint.c_str(), "tmpfs", 0, "size=2m") != 0)
        QSKIP(qPrintable("Cannot mount a tmpfs here (" + QString::fromLocal8Bit(strerror(errno)) +
                         "), so the save into a full file system is not tested"));
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.c_str(), MNT_DETACH); });

    // The image, except the pages of the enemy tables, which stay holes.
    constexpr std::size_t page = 4096;
    const std::size_t holeStart = Core::enemyHealthOffset / page * page;
    const std::size_t holeEnd = (Core::minimumImageSize + page - 1) / page * page;
    Bytes image = makeSyntheticImage(0x100000, 53);
    std::fill(image.begin() + std::ptrdiff_t(holeStart), image.begin() + std::ptrdiff_t(holeEnd),
              0);
    const fs::path path = mountPoint / "game.smc";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(holeStart));
        out.seekp(std::streamoff(holeEnd));
        out.write(reinterpret_cast<const char*>(image.data() + holeEnd),
                  std::streamsize(image.size() - holeEnd));
    }
    QCOMPARE(readBytes(path), image);
    Core core(programDir());
    core.setRomPath(path.string());
    QVERIFY(core.loadRom().ok());

    {
        std::ofstream filler(mountPoint / "filler", std::ios::binary);
        const std::string block(page, 'f');
        for (int i = 0; i < 1024 && filler.write(block.data(), block.size()).flush(); ++i) {
        }
    }
    core.setEnemyHealth(3, 0xEE);
    core.setDamageSet(2, 0xE1, 0xE2, 0xE3);
    const FileResult full = core.saveRom();
    QCOMPARE(full.reason, "Cannot save \"" + path.string() +
                              "\": No space left on device. Nothing was written; your edits are "
                              "still here.");
    QCOMPARE(readBytes(path), image);

    fs::remove(mountPoint / "filler");
    QVERIFY(core.saveRom().ok());
    const Bytes saved = readBytes(path);
    QCOMPARE(saved[Core::enemyHealthOffset + 3], 0xEE);
    QCOMPARE(saved[Core::damageTableOffset + 6], 0xE1);
}

namespace {

// System calls that answer as the system rarely does.
struct UnusualSystem {
    enum Answer { OneByteAtATime, InterruptedBeforeEachCall, WritesNothing, Usual };
    static inline Answer answer = Usual;
    static inline const SystemCalls real = posixCalls();

    // Every other call, starting with the first, fails with EINTR.
    static bool interrupted() {
        static bool interruptNext = true;
        if (answer != InterruptedBeforeEachCall)
            return false;
        interruptNext = !interruptNext;
        errno = EINTR;
        return !interruptNext;
    }
    static std::size_t allowed(std::size_t count) {
        return answer == OneByteAtATime ? std::min<std::size_t>(count, 1) : count;
    }

    static SystemCalls calls() {
        return {
            [](const char* path, int flags) { return interrupted() ? -1 : real.open(path, flags); },
            [](int fd, struct stat* status) { return interrupted() ? -1 : real.fstat(fd, status); },
            [](int fd, int mode, off_t offset, off_t length) {
                return interrupted() ? -1 : real.fallocate(fd, mode, offset, length);
            },
            [](int fd, void* buffer, size_t count, off_t offset) -> ssize_t {
                return interrupted() ? -1 : real.pread(fd, buffer, allowed(count), offset);
            },
            [](int fd, const void* buffer, size_t count, off_t offset) -> ssize_t {
                if (interrupted())
                    return -1;
                return answer == WritesNothing ? 0
                                               : real.pwrite(fd, buffer, allowed(count), offset);
            },
            [](int fd) { return interrupted() ? -1 : real.fsync(fd); },
            // On Linux an interrupted close has closed the descriptor all the same.
            [](int fd) {
                const bool interruptedClose = interrupted();
                const int result = real.close(fd);
                return interruptedClose ? -1 : result;
            },
            [](const char* path, int mode) { return interrupted() ? -1 : real.access(path, mode); },
        };
    }
};

} // namespace

Q_DECLARE_METATYPE(UnusualSystem::Answer)

void CoreFilesTest::unusualSystemAnswers_data() {
    QTest::addColumn<UnusualSystem::Answer>("answer");
    QTest::addColumn<std::string>("saveFailure"); // empty: the save works
    QTest::addRow("reads and writes move one byte at a time")
        << UnusualSystem::OneByteAtATime << std::string();
    QTest::addRow("EINTR before each call")
        << UnusualSystem::InterruptedBeforeEachCall << std::string();
    QTest::addRow("a write moves no byte")
        << UnusualSystem::WritesNothing
        << std::string("The system accepted no bytes. The file may be partly changed: save "
                       "again before you exit.");
}

void CoreFilesTest::unusualSystemAnswers() {
    QFETCH(UnusualSystem::Answer, answer);
    QFETCH(std::string, saveFailure);
    const Bytes image = makeSyntheticImage(0x100000, 59);
    writeBytes(imagePath(), image);
    UnusualSystem::answer = answer;
    const auto usualAgain = qScopeGuard([] { UnusualSystem::answer = UnusualSystem::Usual; });

    Core core(programDir(), realFileSystem(UnusualSystem::calls()));
    const FileResult load = core.openRom(imagePath().string());
    QVERIFY2(load.ok() && load.warning.empty() && load.readOnlyWarning.empty(),
             load.reason.c_str());
    QCOMPARE(core.getEnemyName(255), std::string("Name 255"));
    QCOMPARE(core.getEnemyHealth(7), image[Core::enemyHealthOffset + 7]);

    core.setEnemyHealth(7, Byte(image[Core::enemyHealthOffset + 7] ^ 0xFF));
    const FileResult save = core.saveRom();
    Bytes expected = image;
    if (saveFailure.empty())
        expected[Core::enemyHealthOffset + 7] ^= 0xFF;
    else
        QCOMPARE(save.reason, "Cannot save \"" + imagePath().string() + "\": " + saveFailure);
    QCOMPARE(save.ok(), saveFailure.empty());
    QCOMPARE(readBytes(imagePath()), expected);
}

QTEST_APPLESS_MAIN(CoreFilesTest)
#include "tst_core_files.moc"
