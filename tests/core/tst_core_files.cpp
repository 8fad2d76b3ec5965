// The data store against real files: signature test, load, save, names.cfg,
// and a failure injected at every file operation in turn.
#include "Core.h"
#include "DemoImage.h"
#include "FaultyFileSystem.h"

#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

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
    void loadSurvivesFailureAtEachCall();
    void saveSurvivesFailureAtEachCall();
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
    QTest::addRow("empty") << std::string()
                           << "names.cfg holds only 0 names; the other enemies "
                              "are listed without names."
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
    QCOMPARE(QString::fromStdString(result.warning), warning.arg(dir->path()));
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

void CoreFilesTest::saveSurvivesFailureAtEachCall() {
    const Bytes image = makeSyntheticImage(0x100000, 43);
    for (int failingCall = 1;; ++failingCall) {
        auto faulty = std::make_shared<FaultyFileSystem>();
        auto core = loaded(image, faulty);
        core->setEnemyHealth(3, 0xEE);
        core->setDamageSet(2, 0xE1, 0xE2, 0xE3);
        const Snapshot edited = snapshot(*core);

        faulty->calls.clear();
        faulty->failingCall = failingCall;
        const FileResult result = core->saveRom();
        if (!faulty->failed()) {
            QVERIFY(result.ok());
            QVERIFY2(failingCall > 5, "a save makes several calls");
            break;
        }
        const std::string& failedCall = faulty->calls[std::size_t(failingCall - 1)];
        const QByteArray context = QByteArray::number(failingCall) + " " + failedCall.c_str() +
                                   ": " + result.reason.c_str();
        QVERIFY2(!result.ok(), context);
        QVERIFY2(result.reason == "Cannot save \"" + imagePath().string() + "\": Injected failure.",
                 context);
        QVERIFY2(snapshot(*core) == edited, context);
        const bool writingBegan =
            std::ranges::find(faulty->calls, "writeAt") - faulty->calls.begin() < failingCall - 1;
        if (!writingBegan)
            QVERIFY2(readBytes(imagePath()) == image, context);

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
    QVERIFY(core->saveRom().ok());
    QCOMPARE(faulty->calls, (std::vector<std::string>{"openForWriting", "size", "readAt", "writeAt",
                                                      "writeAt", "flush", "close"}));
}

QTEST_APPLESS_MAIN(CoreFilesTest)
#include "tst_core_files.moc"
