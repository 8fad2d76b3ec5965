// The data store against real files: signature test, load, save, names.cfg,
// and a failure injected at every file operation in turn.
#include "Core.h"
#include "DemoImage.h"
#include "FaultyFileSystem.h"
#include "ImageLayouts.h"
#include "Platform.h"
#include "StoreMessages.h"
#include "SystemWords.h"
#include "Translations.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "SystemCalls.h"
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// What the main window says of a result: the messages the user sees.
std::string said(const FileResult& result) {
    return failureText(result).toStdString();
}
std::string warned(const FileResult& result) {
    return loadWarnings(result).join(u' ').toStdString();
}

#ifdef Q_OS_WIN
// The handles the process holds open.
std::size_t openDescriptorCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}
#else
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

std::size_t openDescriptorCount() {
    const auto entries = fs::directory_iterator("/proc/self/fd");
    return std::size_t(std::distance(fs::begin(entries), fs::end(entries)));
}
#endif

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

// `rom` after a copier header as header tools write it, which gives its
// size as `units` of 8 KiB.
Bytes withHeader(Bytes rom, std::uint16_t units) {
    rom.insert(rom.begin(), 0x200, 0);
    rom[0] = Byte(units);
    rom[1] = Byte(units >> 8);
    return rom;
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

// Starts the process's peak resident size afresh; false where the system
// does not allow it, as Windows, which keeps the peak of a process's working
// set for its whole life.
bool resetPeakMemory() {
#ifdef Q_OS_WIN
    return false;
#else
    std::ofstream clear("/proc/self/clear_refs");
    return bool(clear << "5" << std::flush);
#endif
}

long peakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stol(line.substr(6));
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(FileResult::Kind)
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::vector<std::size_t>)
Q_DECLARE_METATYPE(places::Layout)

class CoreFilesTest : public QObject {
    Q_OBJECT

private slots:
    // The messages' English plural forms are the English translation's.
    void initTestCase() { installTranslations(); }
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
    void fifteenMebibyteNameLoadsQuicklyInLittleMemory();
    void userNamesFile_data();
    void userNamesFile();
    void failedLoadKeepsNames();
    void saveRefusesChangedFile_data();
    void saveRefusesChangedFile();
    void saveStopsAtChangesOnDisk_data();
    void saveStopsAtChangesOnDisk();
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
    void ioIsAFewBlockCalls_data();
    void ioIsAFewBlockCalls();
    void saveKeepsARightChecksum_data();
    void saveKeepsARightChecksum();
    void saveAs_data();
    void saveAs();
    void failureNamesTheWholeFile();
    void saveNoticesAnotherProgram_data();
    void saveNoticesAnotherProgram();

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
        qWarning("load failed: %s", said(result).c_str());
    return core;
}

void CoreFilesTest::signatureTest_data() {
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<FileResult::Kind>("kind");
    QTest::addColumn<places::Layout>("layout");
    const auto headered = places::Layout::Headered, headerless = places::Layout::Headerless;
    const Bytes good = makeSyntheticImage(0x100000, 1);
    QTest::addRow("signature") << good << FileResult::Kind::Ok << headered;
    QTest::addRow("rest is anything") << randomImage(0x404, 2) << FileResult::Kind::Ok << headered;
    QTest::addRow("no copier header: the signature at 0x200")
        << withoutHeader(good) << FileResult::Kind::Ok << headerless;
    QTest::addRow("no copier header, too short for the other place")
        << withoutHeader(randomImage(0x404, 3)) << FileResult::Kind::Ok << headerless;
    Bytes bothPlaces = good;
    std::ranges::copy(Core::signature, bothPlaces.begin() + 0x200);
    QTest::addRow("the signature at both places: a copier header")
        << bothPlaces << FileResult::Kind::Ok << headered;
    for (std::size_t i = 0; i < 4; ++i) {
        Bytes changed = good;
        changed[Core::signatureOffset + i] ^= 0x01;
        QTest::addRow("byte %zu different", i)
            << changed << FileResult::Kind::NotTheGame << headered;
    }
    Bytes moved(0x1000, 0);
    std::ranges::copy(Core::signature, moved.begin() + Core::signatureOffset + 1);
    QTest::addRow("signature one byte later") << moved << FileResult::Kind::NotTheGame << headered;
    std::ranges::copy(Core::signature, moved.begin());
    QTest::addRow("signature at the start") << moved << FileResult::Kind::NotTheGame << headered;
    QTest::addRow("too short for the signature")
        << Bytes(good.begin(), good.begin() + 0x403) << FileResult::Kind::NotTheGame << headered;
    QTest::addRow("empty file") << Bytes{} << FileResult::Kind::NotTheGame << headered;
}

void CoreFilesTest::signatureTest() {
    QFETCH(Bytes, image);
    QFETCH(FileResult::Kind, kind);
    QFETCH(places::Layout, layout);
    writeBytes(imagePath(), image);
    Core core(programDir());
    core.setRomPath(imagePath().string());
    const FileResult result = core.isValidRom();
    QCOMPARE(result.kind, kind);
    QCOMPARE(result.layout, layout);
    QCOMPARE(result.path, imagePath().string());
    QCOMPARE(readBytes(imagePath()), image);
}

void CoreFilesTest::signatureTestNeverCreatesAFile() {
    Core core(programDir());
    for (const fs::path& path : {programDir() / "missing.smc", programDir()}) {
        core.setRomPath(path.string());
        const FileResult result = core.isValidRom();
        QCOMPARE(result.kind, FileResult::Kind::Unreadable);
        QVERIFY2(said(result).starts_with("Cannot read \"" + path.string() + "\": "),
                 said(result).c_str());
    }
    QVERIFY(said(core.isValidRom()).ends_with(": Not a regular file."));
    const std::string missing = (programDir() / "missing.smc").string();
    core.setRomPath(missing);
    QCOMPARE(said(core.isValidRom()),
             "Cannot read \"" + missing + "\": " + missingFileReason(missing) + ".");
    QVERIFY(!fs::exists(programDir() / "missing.smc"));
#ifdef Q_OS_WIN
    QSKIP("Windows has no FIFO in the file system and no fork: the refusal of a FIFO is not "
          "tested");
#else
    // A FIFO is refused at once, in a child that an alarm ends should the
    // open wait for a writer.
    const fs::path fifo = programDir() / "fifo.smc";
    QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
    QCOMPARE(inChildProcess([&] {
                 alarm(5);
                 core.setRomPath(fifo.string());
                 return core.isValidRom().systemReason == "Not a regular file" ? 0 : 1;
             }),
             0);
#endif
}

void CoreFilesTest::loadRefusesShortImage() {
    const Bytes good = makeSyntheticImage(0x100000, 5);
    auto core = loaded(good);
    const Snapshot before = snapshot(*core);

    writeBytes(imagePath(), Bytes(good.begin(), good.begin() + Core::minimumImageSize - 1));
    const FileResult result = core->loadRom();
    QCOMPARE(result.kind, FileResult::Kind::TooShort);
    QCOMPARE(said(result), "\"" + imagePath().string() +
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
    QTest::addRow("no copier header") << withoutHeader(randomImage(0x100200, 10));
    QTest::addRow("no copier header, shortest")
        << withoutHeader(randomImage(Core::minimumImageSize, 12));
}

void CoreFilesTest::loadThenSaveKeepsEveryByte() {
    QFETCH(Bytes, image);
    const std::size_t descriptors = openDescriptorCount();
    auto core = loaded(image);
    const FileResult saved = core->saveRom();
    QVERIFY2(saved.ok(), said(saved).c_str());
    QCOMPARE(readBytes(imagePath()), image);
    QCOMPARE(openDescriptorCount(), descriptors); // the image is closed again
}

void CoreFilesTest::sharedBytesAfterLoad() {
    const Bytes image = randomImage(0x100000, 11);
    auto core = loaded(image);
    for (int slot = 0; slot < 256; ++slot) {
        QCOMPARE(core->getEnemyHealth(Byte(slot)), image[Core::enemyHealthOffset + slot]);
        QCOMPARE(core->getEnemyDamage(Byte(slot)), image[Core::enemyDamageOffset + slot]);
    }
    for (int set = 0; set < 16; ++set)
        for (int armor = 1; armor <= 3; ++armor)
            QCOMPARE(
                core->getDamageSet(set)[std::size_t(armor - 1)],
                image[Core::damageTableOffset + places::damageTableIndex(std::size_t(set), armor)]);
}

void CoreFilesTest::editChangesExactlyItsBytes_data() {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<std::vector<std::size_t>>("offsets"); // with a copier header
    QTest::addColumn<Bytes>("values");
    QTest::addColumn<bool>("headerless"); // then each offset is 0x200 less
    // Without a copier header each table block lies 0x200 earlier: one row
    // for each of the three blocks.
    const auto add = [](const char* name, Edit edit, std::vector<std::size_t> offsets, Bytes values,
                        bool alsoHeaderless = false) {
        QTest::addRow("%s", name) << edit << offsets << values << false;
        if (alsoHeaderless)
            QTest::addRow("%s, no copier header", name) << edit << offsets << values << true;
    };
    add(
        "health of slot 0", [](Core& c) { c.setEnemyHealth(0, 0x11); }, {0x6B373}, {0x11}, true);
    add("health of slot 242", [](Core& c) { c.setEnemyHealth(242, 0x12); }, {0x6B465}, {0x12});
    add("health of slot 250", [](Core& c) { c.setEnemyHealth(250, 0x13); }, {0x6B46D}, {0x13});
    add("damage of slot 0", [](Core& c) { c.setEnemyDamage(0, 0x14); }, {0x6B466}, {0x14});
    add("damage of slot 13", [](Core& c) { c.setEnemyDamage(13, 0x15); }, {0x6B473}, {0x15});
    add(
        "damage of slot 255", [](Core& c) { c.setEnemyDamage(255, 0x16); }, {0x6B565}, {0x16},
        true);
    add("damage set 0", [](Core& c) { c.setDamageSet(0, 1, 2, 3); }, {0x37627, 0x37628, 0x37629},
        {1, 2, 3});
    add("damage set 3", [](Core& c) { c.setDamageSet(3, 4, 5, 6); }, {0x37630, 0x37631, 0x37632},
        {4, 5, 6});
    add(
        "damage set 15", [](Core& c) { c.setDamageSet(15, 7, 8, 9); }, {0x37654, 0x37655, 0x37656},
        {7, 8, 9}, true);
}

void CoreFilesTest::editChangesExactlyItsBytes() {
    QFETCH(Edit, edit);
    QFETCH(std::vector<std::size_t>, offsets);
    QFETCH(Bytes, values);
    QFETCH(bool, headerless);
    // Zero tables, so that every value above is a change.
    Bytes image = randomImage(0x100000, 13);
    std::fill_n(image.begin() + Core::damageTableOffset, Core::damageTableSize, 0);
    std::fill(image.begin() + Core::enemyHealthOffset, image.begin() + Core::minimumImageSize, 0);
    if (headerless) {
        image = withoutHeader(image);
        for (std::size_t& offset : offsets)
            offset -= 0x200;
    }
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
    QTest::addColumn<QString>("warning");      // %1: the file's path, %2: the system's "missing"
    QTest::addColumn<std::string>("name0");    // as shown
    QTest::addColumn<std::string>("name255");
    QTest::addRow("256 names") << namesFile(256) << QString() << std::string("Name 0")
                               << std::string("Name 255");
    QTest::addRow("300 names, LF")
        << namesFile(300, "\n") << QString() << std::string("Name 0") << std::string("Name 255");
    QTest::addRow("12 names") << namesFile(12)
                              << "\"%1\" holds only 12 names; the other enemies are listed "
                                 "without names."
                              << std::string("Name 0") << std::string();
    QTest::addRow("1 name") << std::string("Slime")
                            << "\"%1\" holds only 1 name; the other enemies are listed "
                               "without names."
                            << std::string("Slime") << std::string();
    QTest::addRow("empty") << std::string()
                           << "\"%1\" holds no names; the enemies are listed without names."
                           << std::string() << std::string();
    const std::string cutWarning =
        "The name of slot 0 is longer than 255 characters and is shown cut.";
    const std::string ellipsis = "\u2026";
    QTest::addRow("3 MiB first line")
        << std::string(3 << 20, 'x') + "\n" + namesFile(255) << QString::fromStdString(cutWarning)
        << std::string(255, 'x') + ellipsis << std::string("Name 254");
    const auto repeated = [](const std::string& text, int count) {
        std::string all;
        for (int i = 0; i < count; ++i)
            all += text;
        return all;
    };
    QTest::addRow("255 characters of two bytes are not cut")
        << repeated("\u00E4", 255) + "\n" + namesFile(255) << QString() << repeated("\u00E4", 255)
        << std::string("Name 254");
    QTest::addRow("256 characters of four bytes")
        << repeated("\U0001F409", 256) + "\n" + namesFile(255) << QString::fromStdString(cutWarning)
        << repeated("\U0001F409", 255) + ellipsis << std::string("Name 254");
    QTest::addRow("Windows-1252, cut by bytes")
        << std::string(255, '\x80') + "\xE4\r\n" + namesFile(255)
        << QString::fromStdString(cutWarning) << repeated("\u20AC", 255) + ellipsis
        << std::string("Name 254");
    QTest::addRow("not UTF-8 only after the cut")
        << "a\xC3\xA4" + std::string(300, 'b') + "\xE4\n" + namesFile(255)
        << QString::fromStdString(cutWarning) << "a\u00C3\u00A4" + std::string(252, 'b') + ellipsis
        << std::string("Name 254");
    const std::string longLine(300, 'y');
    QTest::addRow("two names cut, and too few")
        << longLine + "\n" + longLine + "\n"
        << "\"%1\" holds only 2 names; the other enemies are listed without names. The names "
           "of slots 0 and 1 are longer than 255 characters and are shown cut."
        << std::string(255, 'y') + ellipsis << std::string();
    QTest::addRow("five names cut")
        << namesFile(250) + repeated(longLine + "\n", 5) + "Last\n"
        << "The names of slots FA, FB, FC and 2 more are longer than 255 characters and are "
           "shown cut."
        << std::string("Name 0") << std::string("Last");
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
        << "\"%1\" could not be read (Larger than 16 MiB); the enemies are listed "
           "without names."
        << std::string() << std::string();
    QTest::addRow("missing") << std::string("<missing>")
                             << "\"%1\" could not be read (%2); the enemies are listed "
                                "without names."
                             << std::string() << std::string();
}

void CoreFilesTest::names() {
    QFETCH(std::string, contents);
    QFETCH(QString, warning);
    QFETCH(std::string, name0);
    QFETCH(std::string, name255);
    const fs::path namesPath = programDir() / "names.cfg";
    if (contents == "<missing>")
        fs::remove(namesPath);
    else
        writeText(namesPath, contents);

    writeBytes(imagePath(), makeSyntheticImage(0x100000, 19));
    Core core(programDir());
    core.setRomPath(imagePath().string());
    const FileResult result = core.loadRom();
    QVERIFY(result.ok());
    warning.replace("%1", QString::fromStdString(namesPath.string()))
        .replace("%2", QString::fromStdString(missingFileReason(namesPath.string())));
    QCOMPARE(QString::fromStdString(warned(result)), warning);
    QCOMPARE(core.getEnemyName(0), name0);
    QCOMPARE(core.getEnemyName(255), name255);
}

// A line of 15 MiB, which the size limit allows, is read where it lies and
// kept cut: loading it takes little more memory than the file itself, and
// the list asks for its name at no cost.
void CoreFilesTest::fifteenMebibyteNameLoadsQuicklyInLittleMemory() {
    constexpr std::size_t lineSize = 15 << 20;
    writeText(programDir() / "names.cfg", std::string(lineSize, 'x'));
    writeBytes(imagePath(), makeSyntheticImage(0x100000, 20));
    Core core(programDir());
    core.setRomPath(imagePath().string());
    if (!resetPeakMemory())
        QSKIP("this system cannot reset the peak memory of a process");
    const long before = peakMemoryKiB();
    QVERIFY(core.loadRom().ok());
    const long grownMiB = (peakMemoryKiB() - before) / 1024;
    QVERIFY2(grownMiB < 2 * long(lineSize >> 20), qPrintable(QString::number(grownMiB) + " MiB"));

    QElapsedTimer timer;
    timer.start();
    for (int listFill = 0; listFill < 100; ++listFill)
        QCOMPARE(core.getEnemyName(0).size(), 255 + std::string("\u2026").size());
    QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed()) + " ms"));
}

void CoreFilesTest::userNamesFile_data() {
    QTest::addColumn<QString>("variable");     // XDG_CONFIG_HOME: absolute, relative, empty, unset
    QTest::addColumn<std::string>("userFile"); // "<missing>", "<folder>" or its contents
    QTest::addColumn<QString>("warning");      // %1: the user's file, %2: the program's
    QTest::addColumn<std::string>("name0");
    QTest::addColumn<std::string>("name255");
    const QString onlyOne = "\"%1\" holds only 1 name; the other enemies are listed without names.";
    QTest::addRow("the user's file, read whole")
        << "absolute" << namesFile(256, "\n") << QString() << std::string("Name 0")
        << std::string("Name 255");
    QTest::addRow("never merged with the program's")
        << "absolute" << std::string("Mine\n") << onlyOne << std::string("Mine") << std::string();
    QTest::addRow("an empty user file is read")
        << "absolute" << std::string()
        << "\"%1\" holds no names; the enemies are listed without names." << std::string()
        << std::string();
    QTest::addRow("a user file that cannot be read")
        << "absolute" << std::string("<folder>")
        << "\"%1\" could not be read (Not a regular file); the enemies are listed without names."
        << std::string() << std::string();
    QTest::addRow("no user file: the program's")
        << "absolute" << std::string("<missing>")
        << "\"%2\" holds only 3 names; the other enemies are listed without names."
        << std::string("Program 0") << std::string();
    for (const char* variable : {"unset", "empty", "relative"})
        QTest::addRow("variable %s: ~/.config", variable)
            << variable << std::string("Mine\n") << onlyOne << std::string("Mine") << std::string();
}

void CoreFilesTest::userNamesFile() {
    QFETCH(QString, variable);
    QFETCH(std::string, userFile);
    QFETCH(QString, warning);
    QFETCH(std::string, name0);
    QFETCH(std::string, name255);
#ifdef Q_OS_WIN
    // The real one: ctest runs this test alone, as every other reads it too.
    if (variable != "absolute")
        QSKIP("Windows keeps the user's names file in the known folder RoamingAppData, which "
              "neither XDG_CONFIG_HOME nor HOME moves");
    const fs::path userFolder = ::userNamesFile().parent_path();
    if (fs::exists(userFolder))
        QFAIL(qPrintable("The user's own folder is in the way: " +
                         QString::fromStdString(userFolder.string())));
    const auto removeUserFolder = qScopeGuard([&] { fs::remove_all(userFolder); });
#else
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("HOME", oldHome);
    });
    const fs::path home = programDir() / "home", config = programDir() / "config";
    qputenv("HOME", QByteArray::fromStdString(home.string()));
    qputenv("XDG_CONFIG_HOME",
            QByteArray::fromStdString(variable == "absolute"   ? config.string()
                                      : variable == "relative" ? fs::relative(config).string()
                                                               : std::string()));
    if (variable == "unset")
        qunsetenv("XDG_CONFIG_HOME");
    const fs::path userFolder =
        (variable == "absolute" ? config : home / ".config") / "tarvon-addons";
    if (variable != "absolute") { // a full file there, which must not be read
        fs::create_directories(config / "tarvon-addons");
        writeText(config / "tarvon-addons" / "names.cfg", namesFile(256));
    }
#endif
    fs::create_directories(userFolder);
    if (userFile == "<folder>")
        fs::create_directory(userFolder / "names.cfg");
    else if (userFile != "<missing>")
        writeText(userFolder / "names.cfg", userFile);
    writeText(programDir() / "names.cfg", "Program 0\nProgram 1\nProgram 2\n");

    writeBytes(imagePath(), makeSyntheticImage(0x100000, 21));
    Core core(programDir());
    core.setRomPath(imagePath().string());
    const FileResult result = core.loadRom();
    QVERIFY(result.ok());
    warning.replace("%1", QString::fromStdString((userFolder / "names.cfg").string()))
        .replace("%2", QString::fromStdString((programDir() / "names.cfg").string()));
    QCOMPARE(QString::fromStdString(warned(result)), warning);
    QCOMPARE(core.getEnemyName(0), name0);
    QCOMPARE(core.getEnemyName(255), name255);
}

void CoreFilesTest::failedLoadKeepsNames() {
    writeText(programDir() / "names.cfg", "Slime\r\nDr\xE4gon\r\n");
    auto core = loaded(makeSyntheticImage(0x100000, 23));
    QCOMPARE(core->getEnemyName(1), std::string("Dr\u00E4gon"));

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
    // The signature stands where an image without a copier header has it.
    QTest::addRow("its copier header dropped")
        << withoutHeader(good) << FileResult::Kind::NotTheGame;
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
    QCOMPARE(result.path, imagePath().string());
    QVERIFY(snapshot(*core) == edited);
    if (replacement.empty())
        QVERIFY(!fs::exists(imagePath()));
    else
        QCOMPARE(readBytes(imagePath()), replacement);
}

void CoreFilesTest::saveStopsAtChangesOnDisk_data() {
    QTest::addColumn<std::size_t>("changedOffset"); // by another program
    QTest::addColumn<bool>("stops");
    QTest::addRow("a health byte") << std::size_t(Core::enemyHealthOffset + 5) << true;
    QTest::addRow("a damage table byte") << std::size_t(Core::damageTableOffset + 49) << true;
    QTest::addRow("a byte outside the tables") << std::size_t(Core::enemyHealthOffset - 1) << false;
}

// Another program changes the file after the load: an ordinary save stops
// unwritten; a merging save keeps that program's byte and takes it into
// memory, also after a merging save that failed and was put back, and the
// next ordinary save no longer stops.
void CoreFilesTest::saveStopsAtChangesOnDisk() {
    QFETCH(std::size_t, changedOffset);
    QFETCH(bool, stops);
    auto faulty = std::make_shared<FaultyFileSystem>();
    auto core = loaded(makeSyntheticImage(0x100000, 61), faulty);
    core->setEnemyHealth(3, 0xEE);
    Bytes outside = readBytes(imagePath());
    outside[changedOffset] ^= 0xFF;
    writeBytes(imagePath(), outside);

    FileResult result = core->saveRom();
    if (stops) {
        QCOMPARE(result.kind, FileResult::Kind::ChangedOnDisk);
        QCOMPARE(result.changedBytes, std::size_t(1));
        faulty->calls.clear();
        faulty->failingCall = 10; // the second write; the first is put back
        QCOMPARE(core->saveRom(Core::SaveMode::Merge).kind, FileResult::Kind::WriteFailed);
        faulty->failingCall = 0;
        QCOMPARE(readBytes(imagePath()), outside);
        result = core->saveRom(Core::SaveMode::Merge);
    }
    QVERIFY2(result.ok(), said(result).c_str());
    QCOMPARE(readBytes(imagePath())[changedOffset], outside[changedOffset]);
    Core reloaded(programDir());
    reloaded.setRomPath(imagePath().string());
    QVERIFY(reloaded.loadRom().ok() && snapshot(reloaded) == snapshot(*core));
    QCOMPARE(reloaded.getEnemyHealth(3), Byte(0xEE));
    core->setEnemyHealth(4, 0x44);
    QVERIFY(core->saveRom().ok());
}

#ifndef Q_OS_WIN
namespace {

// A save whose first write has SIGTERM sent to this process by another one,
// and whose second write may fail. The handler notes how many calls of the
// save's writing part (writes, fsync, close) were made when it ran.
struct SignalDuringSave {
    static inline const SystemCalls real = posixCalls();
    static inline int signal = SIGTERM;
    static inline int callsMade = 0;
    static inline bool secondWriteFails = false;
    static inline bool pendingDuringWrite = false;
    static inline volatile sig_atomic_t callsWhenHandled = -1;

    static void sendStopFromAnotherProcess() {
        if (const pid_t child = fork(); child == 0) {
            kill(getppid(), signal);
            _exit(0);
        } else {
            waitpid(child, nullptr, 0);
        }
        sigset_t pending;
        sigpending(&pending);
        pendingDuringWrite = sigismember(&pending, signal) == 1;
    }

    static SystemCalls calls() {
        SystemCalls counted = real;
        counted.pwrite = [](int fd, const void* buffer, size_t count, off_t offset) -> ssize_t {
            if (++callsMade == 1)
                sendStopFromAnotherProcess();
            if (callsMade == 2 && secondWriteFails)
                return errno = ENOSPC, -1;
            return real.pwrite(fd, buffer, count, offset);
        };
        counted.fsync = [](int fd) { return ++callsMade, real.fsync(fd); };
        counted.close = [](int fd) { return ++callsMade, real.close(fd); };
        return counted;
    }
};

} // namespace
#endif

void CoreFilesTest::stopSignalWaitsForSave_data() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no POSIX signals and no fork: tarvon-tables' Ctrl+C is held by the "
          "console's handler instead");
#else
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("secondWriteFails");
    QTest::addRow("SIGTERM, save works") << SIGTERM << false;
    QTest::addRow("SIGTERM, save put back") << SIGTERM << true;
    QTest::addRow("SIGINT") << SIGINT << false;
    QTest::addRow("SIGHUP") << SIGHUP << false;
    QTest::addRow("SIGQUIT") << SIGQUIT << false;
#endif
}

// Run in a child process with one thread, as tarvon-tables has, so that the
// signal sent to the process can only reach the saving thread: 0 when it was
// held during the write and handled after the save's last call.
void CoreFilesTest::stopSignalWaitsForSave() {
#ifndef Q_OS_WIN
    QFETCH(int, signal);
    QFETCH(bool, secondWriteFails);
    const Bytes image = makeSyntheticImage(0x100000, 71);
    auto core = loaded(image, realFileSystem(SignalDuringSave::calls()));
    core->setEnemyHealth(9, Byte(image[Core::enemyHealthOffset + 9] ^ 0xFF));
    const int held = inChildProcess([&] {
        SignalDuringSave::signal = signal;
        SignalDuringSave::secondWriteFails = secondWriteFails;
        SignalDuringSave::callsMade = 0;
        struct sigaction handler {};
        handler.sa_handler = [](int) {
            SignalDuringSave::callsWhenHandled = SignalDuringSave::callsMade;
        };
        sigaction(signal, &handler, nullptr);
        const bool saved = core->saveRom().ok();
        return SignalDuringSave::pendingDuringWrite &&
                       SignalDuringSave::callsWhenHandled == SignalDuringSave::callsMade &&
                       saved == !secondWriteFails
                   ? 0
                   : 1;
    });
    QCOMPARE(held, 0);
    Bytes expected = image;
    expected[Core::enemyHealthOffset + 9] ^= secondWriteFails ? 0 : 0xFF;
    QCOMPARE(readBytes(imagePath()), expected);
#endif
}

void CoreFilesTest::openWarnsOfReadOnlyImage_data() {
    QTest::addColumn<bool>("bindMount"); // else no write permission for the user
    QTest::addRow("no write permission for this user") << false;
    QTest::addRow("read-only bind mount") << true;
}

// Root may write any file, so the permission case runs as "nobody" then. On
// Windows the owner's permission sets the file's read-only attribute.
void CoreFilesTest::openWarnsOfReadOnlyImage() {
    QFETCH(bool, bindMount);
    writeBytes(imagePath(), makeSyntheticImage(0x100000, 73));
    fs::path path = imagePath();
#ifdef Q_OS_WIN
    if (bindMount)
        QSKIP("Windows has no read-only bind mount");
#else
    const fs::path mountPoint = programDir() / "read-only";
    if (bindMount) {
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
    } else
#endif
    {
        fs::permissions(programDir(), fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        fs::permissions(imagePath(), fs::perms::owner_read | fs::perms::others_read);
    }
    const std::string warning = '"' + path.string() +
                                "\" is read-only: you can look at the tables, but Save will fail "
                                "until the file can be written.";
    const auto lastWarning = [&] {
        const QStringList warnings = loadWarnings(Core(programDir()).openRom(path.string()));
        return warnings.value(warnings.size() - 1).toStdString();
    };
#ifdef Q_OS_WIN
    if (std::ofstream(path, std::ios::binary | std::ios::app))
        QSKIP("Wine: a process of root's may write a read-only file all the same");
    QCOMPARE(lastWarning(), warning);
#else
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.c_str(), MNT_DETACH); });
    QCOMPARE(inChildProcess([&] {
                 if (!bindMount && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                     return 2;
                 return lastWarning() == warning ? 0 : 1;
             }),
             0);
#endif
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
                                   ": " + said(result).c_str();
        if (failedCall == "readAll") {
            QVERIFY2(result.ok() && warned(result).find("Injected failure") != std::string::npos,
                     context);
        } else if (failedCall == "close") {
            // Every byte was read already; nothing is lost.
            QVERIFY2(result.ok(), context);
        } else {
            QVERIFY2(result.kind == FileResult::Kind::Unreadable, context);
            QVERIFY2(said(result).ends_with(": Injected failure."), context);
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
                                   ": " + said(result).c_str();
        const std::string cannotSave =
            "Cannot save \"" + imagePath().string() + "\": Injected failure. ";
        const bool nothingWritten =
            said(result) == cannotSave + "Nothing was written; your edits are still here.";
        QVERIFY2(nothingWritten || said(result) == cannotSave + "The file may be partly "
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

void CoreFilesTest::ioIsAFewBlockCalls_data() {
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<bool>("rightChecksum");
    const Bytes image = makeSyntheticImage(0x100200, 47);
    QTest::addRow("copier header") << image << false;
    QTest::addRow("no copier header") << withoutHeader(image) << false;
    QTest::addRow("copier header, right checksum")
        << withRightChecksum(image, 0x200, 0x7FC0) << true;
}

void CoreFilesTest::ioIsAFewBlockCalls() {
    QFETCH(Bytes, image);
    QFETCH(bool, rightChecksum);
    auto faulty = std::make_shared<FaultyFileSystem>();
    auto core = loaded(image, faulty);
    faulty->calls.clear();
    QVERIFY(core->isValidRom().ok());
    QCOMPARE(faulty->calls,
             (std::vector<std::string>{"openForReading", "tryLock", "status", "readAt", "close"}));
    faulty->calls.clear();
    QVERIFY(core->loadRom().ok());
    QCOMPARE(faulty->calls,
             (std::vector<std::string>{"openForReading", "tryLock", "status", "readAt", "readAt",
                                       "readAt", "close", "readAll"}));
    faulty->calls.clear();
    QVERIFY(core->openRom(imagePath().string()).ok());
    QCOMPARE(faulty->calls,
             (std::vector<std::string>{"openForReading", "tryLock", "status", "readAt", "close",
                                       "openForReading", "tryLock", "status", "readAt", "readAt",
                                       "readAt", "close", "readAll", "checkWritable"}));
    faulty->calls.clear();
    QVERIFY(core->saveRom().ok());
    // The lock, and the path checked before the first write and after the
    // flush, with the length: four calls more than the writes need. The
    // image is read whole, for its checksum, whose fields a right one adds.
    std::vector<std::string> save{"openForWriting", "tryLock", "status",   "readAt",  "reserve",
                                  "reserve",        "readAt",  "statusAt", "writeAt", "writeAt"};
    if (rightChecksum)
        save.push_back("writeAt");
    save.insert(save.end(), {"flush", "status", "statusAt", "close"});
    QCOMPARE(faulty->calls, save);
    // Changed on disk: the same reads, then the file is closed unwritten.
    Bytes changed = readBytes(imagePath());
    changed[places::tableOffsets(*core->layout()).enemyHealth] ^= 0xFF;
    writeBytes(imagePath(), changed);
    faulty->calls.clear();
    QCOMPARE(core->saveRom().kind, FileResult::Kind::ChangedOnDisk);
    QCOMPARE(faulty->calls,
             (std::vector<std::string>{"openForWriting", "tryLock", "status", "readAt", "reserve",
                                       "reserve", "readAt", "close"}));
}

void CoreFilesTest::saveKeepsARightChecksum_data() {
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<std::size_t>("romStart");
    QTest::addColumn<std::size_t>("header"); // where the checksum is, or was, right
    QTest::addColumn<bool>("keptRight");     // else its bytes are left alone
    QTest::addColumn<int>("failingCall");    // of the save; 0: none
    const Bytes image = makeSyntheticImage(0x100200, 89);
    const Bytes atLowHeader = withRightChecksum(image, 0x200, 0x7FC0);
    const auto add = [](const char* name, const Bytes& image, std::size_t romStart,
                        std::size_t header, bool keptRight, int failingCall = 0) {
        QTest::addRow("%s", name) << image << romStart << header << keptRight << failingCall;
    };
    add("right at 0x7FC0", atLowHeader, 0x200, 0x7FC0, true);
    add("right at 0xFFC0, no copier header", withRightChecksum(withoutHeader(image), 0, 0xFFC0), 0,
        0xFFC0, true);
    Bytes wrong = atLowHeader;
    wrong[0x200 + 0x7FDE] ^= 1;
    wrong[0x200 + 0x7FDC] ^= 1; // the complement still fits
    add("wrong", wrong, 0x200, 0x7FC0, false);
    add("1.25 MiB, not a power of two",
        withRightChecksum(makeSyntheticImage(0x140200, 90), 0x200, 0x7FC0), 0x200, 0x7FC0, true);
    add("larger than 8 MiB and 512 bytes: not read whole",
        withRightChecksum(makeSyntheticImage((8 << 20) + 0x201, 91), 0x200, 0x7FC0), 0x200, 0x7FC0,
        false);
    add("the checksum's write fails after the tables' landed", atLowHeader, 0x200, 0x7FC0, true,
        11);
}

// An edit saved: the checksum that was right stays right, by emulators'
// reckoning, in the same all-or-nothing save as the tables; any other stays
// as it was.
void CoreFilesTest::saveKeepsARightChecksum() {
    QFETCH(Bytes, image);
    QFETCH(std::size_t, romStart);
    QFETCH(std::size_t, header);
    QFETCH(bool, keptRight);
    QFETCH(int, failingCall);
    auto faulty = std::make_shared<FaultyFileSystem>();
    auto core = loaded(image, faulty);
    core->setEnemyHealth(3, Byte(core->getEnemyHealth(3) ^ 0xFF));
    core->setDamageSet(2, 0xE1, 0xE2, 0xE3);
    faulty->calls.clear();
    faulty->failingCall = failingCall;
    const FileResult result = core->saveRom();
    const Bytes saved = readBytes(imagePath());
    if (failingCall > 0) {
        QCOMPARE(faulty->calls[std::size_t(failingCall - 1)], "writeAt"); // the third
        QCOMPARE(result.kind, FileResult::Kind::WriteFailed);
        QCOMPARE(saved, image);
        return;
    }
    QVERIFY(result.ok());
    QCOMPARE(result.rightChecksum, keptRight);
    QCOMPARE(checksumIsRight(saved, romStart, header), keptRight);
    const std::size_t fields = romStart + header + 0x1C;
    const places::TableOffsets tables = places::tableOffsets(*core->layout());
    for (const std::size_t offset : differingOffsets(image, saved))
        QVERIFY2((keptRight && offset >= fields && offset < fields + 4) ||
                     (offset >= tables.damageTable && offset < tables.damageTable + 50) ||
                     (offset >= tables.enemyHealth && offset < tables.enemyDamage + 256),
                 qPrintable(QString::number(offset, 16)));
}

void CoreFilesTest::saveAs_data() {
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<std::string>("target"); // in the image's folder
    QTest::addColumn<places::Layout>("layout");
    QTest::addColumn<Bytes>("expected");          // the new file, after a health of 0xEE in slot 3
    QTest::addColumn<std::string>("failingCall"); // empty: none
    const auto headered = places::Layout::Headered, headerless = places::Layout::Headerless;
    const Bytes image = withRightChecksum(makeSyntheticImage(0x100200, 97), 0x200, 0xFFC0);
    Bytes edited = image;
    edited[0x6B376] = 0xEE;
    edited = withRightChecksum(edited, 0x200, 0xFFC0);
    QTest::addRow("the copier header dropped, the checksum kept right")
        << image << std::string("new.sfc") << headerless << withoutHeader(edited) << std::string();
    QTest::addRow("a copier header added")
        << withoutHeader(image) << std::string("new.smc") << headered
        << withHeader(withoutHeader(edited), 0x80) << std::string();
    // Read and written in two pieces, the header with the first.
    const Bytes large = withoutHeader(makeSyntheticImage((8 << 20) + 0x1200, 98));
    Bytes largeEdited = withHeader(large, 0x400); // 8 MiB and 4 KiB
    largeEdited[0x6B376] = 0xEE;
    QTest::addRow("a copier header added to an image of over 8 MiB")
        << large << std::string("new.smc") << headered << largeEdited << std::string();
    QTest::addRow("the same layout, over another file")
        << image << std::string("existing.smc") << headered << edited << std::string();
    QTest::addRow("the open image itself")
        << image << std::string("game.smc") << headerless << Bytes{} << std::string();
    QTest::addRow("the copy's write fails")
        << image << std::string("new.sfc") << headerless << Bytes{} << std::string("writeAt");
}

// Save As writes the whole image, edits included, to a new file in the
// layout asked for and then edits that file; a failure leaves no file behind
// and the store as it was.
void CoreFilesTest::saveAs() {
    QFETCH(Bytes, image);
    QFETCH(std::string, target);
    QFETCH(places::Layout, layout);
    QFETCH(Bytes, expected);
    QFETCH(std::string, failingCall);
    // The lock and the signature, the look at the target, one read and one
    // write of the whole image, and the rename.
    const std::vector<std::string> calls{"openForReading", "tryLock", "status",       "readAt",
                                         "statusAt",       "readAt",  "createBeside", "writeAt",
                                         "flush",          "close",   "rename",       "close"};
    auto faulty = std::make_shared<FaultyFileSystem>();
    auto core = loaded(image, faulty);
    core->setEnemyHealth(3, 0xEE);
    const fs::path path = programDir() / target;
    if (target == "existing.smc")
        writeText(path, "another file");
    const auto filesBefore = std::distance(fs::directory_iterator(programDir()), {});
    faulty->calls.clear();
    if (!failingCall.empty())
        faulty->failingCall = int(std::ranges::find(calls, failingCall) - calls.begin()) + 1;
    const FileResult result = core->saveRomAs(path.string(), layout);
    faulty->failingCall = 0;
    QCOMPARE(readBytes(imagePath()), image);
    if (expected.empty()) {
        QCOMPARE(result.kind, failingCall.empty() ? FileResult::Kind::TargetIsTheImage
                                                  : FileResult::Kind::WriteFailed);
        QCOMPARE(std::distance(fs::directory_iterator(programDir()), {}), filesBefore);
        // Still the open image's store: a save goes there.
        QVERIFY(core->isModified() && core->saveRom().ok() && readBytes(imagePath()) != image);
        return;
    }
    QVERIFY2(result.ok(), said(result).c_str());
    if (image.size() <= (8 << 20) + 0x200)
        QCOMPARE(faulty->calls, calls);
    QCOMPARE(readBytes(path), expected);
    QCOMPARE(core->layout(), layout);
    QVERIFY(!core->isModified());
    // Later saves go into the new file.
    core->setEnemyHealth(4, 0x44);
    QVERIFY(core->saveRom().ok());
    QCOMPARE(readBytes(path)[std::size_t(places::tableOffsets(layout).enemyHealth) + 4], 0x44);
    QCOMPARE(readBytes(imagePath()), image);
}

// A name that holds what ends a sentence is said whole.
void CoreFilesTest::failureNamesTheWholeFile() {
#ifdef Q_OS_WIN
    // Windows allows neither '"' nor ':' in a name.
    const fs::path odd = programDir() / "a. b. c.smc";
#else
    const fs::path odd = programDir() / "a\": b. c.smc";
#endif
    writeBytes(odd, makeSyntheticImage(0x100000, 83));
    auto faulty = std::make_shared<FaultyFileSystem>();
    Core core(programDir(), faulty);
    QVERIFY(core.openRom(odd.string()).ok());
    core.setEnemyHealth(1, Byte(core.getEnemyHealth(1) ^ 1));
    faulty->calls.clear();
    faulty->failingCall = 9; // the first write
    QCOMPARE(said(core.saveRom()), "Cannot save \"" + odd.string() +
                                       "\": Injected failure. Nothing was written; your edits "
                                       "are still here.");
}

void CoreFilesTest::saveNoticesAnotherProgram_data() {
    QTest::addColumn<std::string>("when");   // the save's call before which it acts
    QTest::addColumn<std::string>("action"); // what the other program does
    QTest::addColumn<FileResult::Kind>("kind");
    QTest::addRow("a copy renamed over the image before the writes")
        << std::string("statusAt") << std::string("rename") << FileResult::Kind::Replaced;
    QTest::addRow("a copy renamed over the image after the flush")
        << std::string("flush") << std::string("rename") << FileResult::Kind::Replaced;
    QTest::addRow("the image cut short before the writes")
        << std::string("writeAt") << std::string("truncate") << FileResult::Kind::LengthChanged;
    QTest::addRow("another save tried between the read and the writes")
        << std::string("statusAt") << std::string("lock") << FileResult::Kind::Ok;
}

// Another program acts at a given moment of a save: the save says what became
// of the file, never "saved" for a file it did not save into, and holds its
// lock against any other save from before its read to its last write.
void CoreFilesTest::saveNoticesAnotherProgram() {
    QFETCH(std::string, when);
    QFETCH(std::string, action);
    QFETCH(FileResult::Kind, kind);
#ifdef Q_OS_WIN
    if (action == "rename")
        QSKIP("Windows renames no file over one that is open, as the image is during the save");
#endif
    auto faulty = std::make_shared<FaultyFileSystem>();
    const Bytes image = makeSyntheticImage(0x100000, 79);
    auto core = loaded(image, faulty);
    core->setEnemyHealth(3, Byte(image[Core::enemyHealthOffset + 3] ^ 0xFF));
    const fs::path copy = programDir() / "copy.smc";
    bool acted = false, lockedOut = false;
    faulty->beforeCall = [&](const std::string& call) {
        if (call != when || std::exchange(acted, true))
            return;
        if (action == "rename") {
            writeBytes(copy, image);
            fs::rename(copy, imagePath());
        } else if (action == "truncate") {
            fs::resize_file(imagePath(), 300000);
        } else {
#ifdef Q_OS_WIN
            // Windows' locks are the ones the file system takes, on a file
            // opened anew, as another program's save opens it.
            const auto files = realFileSystem();
            FileSystem::Handle other{};
            QVERIFY(files->openForWriting(imagePath().string(), other).empty());
            QVERIFY(files->tryLock(other, FileSystem::LockKind::Exclusive, lockedOut).empty());
            files->close(other);
#else
            const int other = open(imagePath().c_str(), O_RDWR);
            lockedOut = flock(other, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            close(other);
#endif
        }
    };
    const FileResult result = core->saveRom();
    QVERIFY(acted);
    QCOMPARE(result.kind, kind);
    if (action == "rename")
        QCOMPARE(readBytes(imagePath()), image);
    if (action == "lock")
        QVERIFY(lockedOut);
}

// A tmpfs filled to the last page while the enemy tables' pages of the image
// are still holes: the save must find out before it writes anything.
void CoreFilesTest::saveIntoFullFileSystem() {
#ifdef Q_OS_WIN
    QSKIP("Windows cannot mount a small file system here, so the save into a full file system "
          "is not tested");
#else
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
    QCOMPARE(said(full), "Cannot save \"" + path.string() +
                             "\": No space left on device. Nothing was written; your edits are "
                             "still here.");
    QCOMPARE(readBytes(path), image);

    fs::remove(mountPoint / "filler");
    QVERIFY(core.saveRom().ok());
    const Bytes saved = readBytes(path);
    QCOMPARE(saved[Core::enemyHealthOffset + 3], 0xEE);
    QCOMPARE(saved[Core::damageTableOffset + 6], 0xE1);
#endif
}

#ifndef Q_OS_WIN
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
            [](const char* path, struct stat* status) {
                return interrupted() ? -1 : real.stat(path, status);
            },
            [](int fd, int operation) { return interrupted() ? -1 : real.flock(fd, operation); },
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
            [](const char* path, int flags, mode_t mode) {
                return interrupted() ? -1 : real.create(path, flags, mode);
            },
            [](const char* from, const char* to) {
                return interrupted() ? -1 : real.rename(from, to);
            },
            [](const char* path) { return interrupted() ? -1 : real.unlink(path); },
        };
    }
};

} // namespace

Q_DECLARE_METATYPE(UnusualSystem::Answer)
#endif

void CoreFilesTest::unusualSystemAnswers_data() {
#ifdef Q_OS_WIN
    QSKIP("Windows' file system has no table of POSIX system calls (SystemCalls.h) for the "
          "test to replace");
#else
    QTest::addColumn<UnusualSystem::Answer>("answer");
    QTest::addColumn<std::string>("saveFailure"); // empty: the save works
    QTest::addRow("reads and writes move one byte at a time")
        << UnusualSystem::OneByteAtATime << std::string();
    QTest::addRow("EINTR before each call")
        << UnusualSystem::InterruptedBeforeEachCall << std::string();
    QTest::addRow("a write moves no byte")
        << UnusualSystem::WritesNothing
        << std::string("The system accepted no bytes. Nothing was written; your edits are still "
                       "here.");
#endif
}

void CoreFilesTest::unusualSystemAnswers() {
#ifndef Q_OS_WIN
    QFETCH(UnusualSystem::Answer, answer);
    QFETCH(std::string, saveFailure);
    const Bytes image = makeSyntheticImage(0x100000, 59);
    writeBytes(imagePath(), image);
    UnusualSystem::answer = answer;
    const auto usualAgain = qScopeGuard([] { UnusualSystem::answer = UnusualSystem::Usual; });

    Core core(programDir(), realFileSystem(UnusualSystem::calls()));
    const FileResult load = core.openRom(imagePath().string());
    QVERIFY2(load.ok() && warned(load).empty(), said(load).c_str());
    QCOMPARE(core.getEnemyName(255), std::string("Name 255"));
    QCOMPARE(core.getEnemyHealth(7), image[Core::enemyHealthOffset + 7]);

    core.setEnemyHealth(7, Byte(image[Core::enemyHealthOffset + 7] ^ 0xFF));
    const FileResult save = core.saveRom();
    Bytes expected = image;
    if (saveFailure.empty())
        expected[Core::enemyHealthOffset + 7] ^= 0xFF;
    else
        QCOMPARE(said(save), "Cannot save \"" + imagePath().string() + "\": " + saveFailure);
    QCOMPARE(save.ok(), saveFailure.empty());
    QCOMPARE(readBytes(imagePath()), expected);
#endif
}

QTEST_GUILESS_MAIN(CoreFilesTest)
#include "tst_core_files.moc"
