// tarvon-tables on real files: export and import, refused tables, diff, patch
// and usage errors, on images with a copier header (game.smc) and without
// one (game.sfc). Every case also checks that no image changed.
#include "Core.h"
#include "DemoImage.h"
#include "ImageLayouts.h"
#include "Platform.h"
#include "SystemWords.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#ifndef Q_OS_WIN
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using Mutation = std::function<void(Lines&)>;
using Respelling = std::function<std::string(const std::string&)>;

namespace {

constexpr std::size_t imageSize = 0x80200;

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Lines split(const std::string& text, char separator) {
    Lines parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

std::string join(const Lines& parts, char separator) {
    std::string text;
    for (const std::string& part : parts)
        text += part + separator;
    return text;
}

// Replaces one cell (line and column from 1) of a CSV without quoted cells.
Mutation setCell(std::size_t line, std::size_t column, std::string text) {
    return [=](Lines& lines) {
        Lines cells = split(lines[line - 1], ',');
        cells[column - 1] = text;
        lines[line - 1] = join(cells, ',');
        lines[line - 1].pop_back();
    };
}

Mutation setLine(std::size_t line, std::string text) {
    return [=](Lines& lines) { lines[line - 1] = text; };
}

Mutation both(Mutation first, Mutation second) {
    return [=](Lines& lines) {
        first(lines);
        second(lines);
    };
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Each byte as one UTF-16 code unit, after the byte order mark (ASCII text).
std::string utf16(const std::string& text, bool bigEndian) {
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : text)
        wide += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return wide;
}

// The enemy rows (lines 2 to 257) and the set rows (260 to 275) reversed.
std::string reversedRows(const std::string& text) {
    Lines lines = split(text, '\n');
    std::reverse(lines.begin() + 1, lines.begin() + 257);
    std::reverse(lines.begin() + 259, lines.begin() + 275);
    return join(lines, '\n');
}

// Image offsets of CSV cells: slot s is on line s + 2, set k on line 260 + k.
std::uint32_t healthAt(int slot) {
    return Core::enemyHealthOffset + slot;
}
std::uint32_t damageAt(int slot) {
    return Core::enemyDamageOffset + slot;
}

#ifndef Q_OS_WIN
mode_t permissionsOf(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}
#endif

struct Run {
    int status = -1; // -1: ended by a signal, or still running after 10 s
    std::string out, err;
};

// A library loaded into tarvon-tables, and the variable that steers it, if any.
struct Preload {
    const char* library;
    QString variable;
    QString value;
};

} // namespace

Q_DECLARE_METATYPE(Mutation)
Q_DECLARE_METATYPE(std::vector<Mutation>)
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(Respelling)
Q_DECLARE_METATYPE(std::vector<std::uint32_t>)

class TablesCliTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void roundTripKeepsEveryByte();
    void longestNamesComeBack();
    void editedCellsChangeExactlyTheirByte_data();
    void editedCellsChangeExactlyTheirByte();
    void malformedTablesAreRefused_data();
    void malformedTablesAreRefused();
    void spreadsheetFormsAreRead_data();
    void spreadsheetFormsAreRead();
    void importListsWhatChanges_data();
    void importListsWhatChanges();
    void namesNeverBecomeFormulas();
    void outputKeepsLinkAndPermissions();
    void failedWritesSaySo_data();
    void failedWritesSaySo();
    void stopSignalWaitsForTheOutput();
    void importRefusesTablesChangedMeanwhile_data();
    void importRefusesTablesChangedMeanwhile();
    void diffListsEachChangedEntry();
    void patchHoldsExactlyTheChangedTableBytes_data();
    void patchHoldsExactlyTheChangedTableBytes();
    void patchRefusesImages_data();
    void patchRefusesImages();
    void commandLine_data();
    void commandLine();
    void terminalsGetNoRawBytes_data();
    void terminalsGetNoRawBytes();

private:
    std::unique_ptr<QTemporaryDir> dir;
    Bytes image = makeSyntheticImage(imageSize, 13);
    fs::path at(const std::string& name) const { return dir->path().toStdString() + "/" + name; }
#ifdef Q_OS_WIN
    bool wroteUserNames = false;
#else
    QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
#endif
    // Runs tarvon-tables with `input` on its standard input, and `preload`
    // loaded into it.
    Run run(const QStringList& arguments, const std::string& input = {},
            std::optional<Preload> preload = {}) const;
#ifndef Q_OS_WIN
    // Runs tarvon-tables with a pseudo-terminal as its standard input, output
    // and error; `out` holds all it wrote there.
    Run runOnTerminal(const QStringList& arguments) const;
#endif
    // Gives the programs run `names` as the user's own names.cfg: on Windows
    // the real one, which no variable moves (ctest runs this test alone), and
    // which cleanup() takes away.
    void writeUserNames(const std::string& names);
    Bytes imageWith(std::uint32_t offset, int value) const;
    // Exports game.smc, applies `mutations` and writes tables.csv.
    void writeEditedTables(const std::vector<Mutation>& mutations) const;
    std::size_t fileCount() const;
};

void TablesCliTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    writeBytes(at("game.smc"), image);
    writeBytes(at("game.sfc"), withoutHeader(image));
}

void TablesCliTest::cleanup() {
#ifdef Q_OS_WIN
    if (wroteUserNames)
        fs::remove_all(userNamesFile().parent_path());
    wroteUserNames = false;
#else
    qputenv("XDG_CONFIG_HOME", oldConfig);
#endif
}

void TablesCliTest::writeUserNames(const std::string& names) {
#ifdef Q_OS_WIN
    const fs::path file = userNamesFile();
    if (fs::exists(file.parent_path()))
        QFAIL(qPrintable("The user's own folder is in the way: " +
                         QString::fromStdString(file.parent_path().string())));
    wroteUserNames = true;
#else
    qputenv("XDG_CONFIG_HOME", at("config").c_str());
    const fs::path file = at("config/tarvon-addons/names.cfg");
#endif
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << names;
}

Run TablesCliTest::run(const QStringList& arguments, const std::string& input,
                       std::optional<Preload> preload) const {
    QProcess process;
    process.setWorkingDirectory(dir->path());
    if (preload) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", preload->library);
        if (!preload->variable.isEmpty())
            environment.insert(preload->variable, preload->value);
        // AddressSanitizer builds: the library comes before the sanitizer's.
        environment.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
        process.setProcessEnvironment(environment);
    }
    process.start(TARVON_TABLES, arguments);
    process.write(input.data(), qint64(input.size()));
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(10000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

#ifndef Q_OS_WIN
Run TablesCliTest::runOnTerminal(const QStringList& arguments) const {
    std::vector<std::string> words{TARVON_TABLES};
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string folder = dir->path().toStdString();
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        if (::chdir(folder.c_str()) == 0)
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Run result;
    if (child < 0)
        return result;
    char buffer[4096];
    for (ssize_t count; (count = ::read(terminal, buffer, sizeof buffer)) != 0;) {
        if (count < 0 && errno != EINTR)
            break; // EIO: the program ended and closed its side
        result.out.append(buffer, std::size_t(std::max<ssize_t>(count, 0)));
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
#endif

void TablesCliTest::writeEditedTables(const std::vector<Mutation>& mutations) const {
    Lines lines = split(run({"export", "game.smc"}).out, '\n');
    for (const Mutation& mutate : mutations)
        mutate(lines);
    std::ofstream(at("tables.csv"), std::ios::binary) << join(lines, '\n');
}

Bytes TablesCliTest::imageWith(std::uint32_t offset, int value) const {
    Bytes bytes = image;
    bytes[offset] = std::uint8_t(value);
    return bytes;
}

std::size_t TablesCliTest::fileCount() const {
    return std::size_t(std::distance(fs::directory_iterator(at("")), {}));
}

// Either layout gives the same tables as text.
void TablesCliTest::roundTripKeepsEveryByte() {
    const Run exported = run({"export", "game.smc", "-o", "tables.csv"});
    QCOMPARE(exported.status, 0);
    QCOMPARE(exported.err, "");
    QCOMPARE(run({"export", "game.sfc"}).out, run({"export", "game.smc"}).out);
    QCOMPARE(run({"import", "game.smc", "tables.csv"}).status, 0);
    QCOMPARE(readBytes(at("game.smc")), image);
    QCOMPARE(fileCount(), 3u);
}

// 256 names of 64 KiB, from the user's own names.cfg, fill the names file to
// its size limit; cut on export, they come back within import's.
void TablesCliTest::longestNamesComeBack() {
    std::string names;
    for (int slot = 0; slot < 256; ++slot)
        names += std::string((1 << 16) - 1, char('A' + slot % 26)) + '\n';
    writeUserNames(names);

    const Run exported = run({"export", "game.smc", "-o", "tables.csv"});
    QCOMPARE(exported.status, 0);
    QVERIFY2(exported.err.find("The names of slots 00, 01, 02 and 253 more are longer than 255 "
                               "characters") != std::string::npos,
             exported.err.c_str());
    QVERIFY(fs::file_size(at("tables.csv")) < 256 * 1024);
    QCOMPARE(run({"import", "game.smc", "tables.csv"}).status, 0);
    QCOMPARE(readBytes(at("game.smc")), image);
}

void TablesCliTest::editedCellsChangeExactlyTheirByte_data() {
    QTest::addColumn<std::vector<Mutation>>("edits");
    QTest::addColumn<Bytes>("expected"); // with a copier header
    QTest::addColumn<QString>("name");   // of the image imported into
    const auto changed = [this](std::uint32_t offset, int value) {
        Bytes bytes = image;
        bytes[offset] = std::uint8_t(value);
        return bytes;
    };
    // Without a copier header every place is 0x200 earlier: a row for the
    // enemies' bytes and one for the damage table.
    const auto add = [](const char* row, std::vector<Mutation> edits, const Bytes& expected,
                        bool alsoHeaderless = false) {
        QTest::addRow("%s", row) << edits << expected << QString("game.smc");
        if (alsoHeaderless)
            QTest::addRow("%s, no copier header", row) << edits << expected << QString("game.sfc");
    };
    add("health 1A", {setCell(28, 3, "95")}, changed(healthAt(0x1A), 95), true);
    add("damage_set 20", {setCell(34, 4, "07")},
        changed(damageAt(0x20), places::withDamageSet(image[damageAt(0x20)], 7)));
    add("damage_high 20", {setCell(34, 5, "15")},
        changed(damageAt(0x20), image[damageAt(0x20)] | 0xF0));
    add("armor3 set 15", {setCell(275, 4, "0")}, changed(Core::damageTableOffset + 47, 0), true);
    add("byte 49", {setCell(279, 2, "255")}, changed(Core::damageTableOffset + 49, 255));
    add("health F4 with damage byte 01",
        {setCell(246, 3, "33"), setCell(3, 4, "1"), setCell(3, 5, "2")},
        changed(damageAt(1), 0x21));
}

void TablesCliTest::editedCellsChangeExactlyTheirByte() {
    QFETCH(std::vector<Mutation>, edits);
    QFETCH(Bytes, expected);
    QFETCH(QString, name);
    writeEditedTables(edits);
    const Run imported = run({"import", name, "tables.csv"});
    QCOMPARE(imported.status, 0);
    QCOMPARE(readBytes(at(name.toStdString())),
             name.endsWith(".sfc") ? withoutHeader(expected) : expected);
}

void TablesCliTest::malformedTablesAreRefused_data() {
    QTest::addColumn<std::vector<Mutation>>("edits");
    QTest::addColumn<QString>("error");
    const auto add = [](const char* name, Mutation edit, const char* error) {
        QTest::addRow("%s", name) << std::vector{std::move(edit)} << QString(error);
    };
    add("not a byte", setCell(28, 3, "256"), "28:3: \"256\" is not a byte value (0 to 255)");
    add("empty value", setCell(260, 2, ""), "260:2: \"\" is not a byte value");
    add("space in value", setCell(260, 3, " 5"), "260:3: \" 5\" is not a byte value");
    add("set over 15", setCell(34, 4, "16"), "34:4: \"16\" is not a four-bit value (0 to 15)");
    add("set 16", setCell(262, 1, "16"), "262:1: \"16\" is not a set: sets run 0 to 15");
    add("slot twice", setCell(28, 1, "1b"),
        "29:1: a second row for slot 1B (the first is on line 28)");
    add("set twice", setCell(262, 1, "3"),
        "263:1: a second row for set 3 (the first is on line 262)");
    add(
        "row missing", [](Lines& l) { l.erase(l.begin() + 99); },
        "256:1: the row of slot 62 is missing");
    add(
        "file cut", [](Lines& l) { l.resize(270); }, "270:1: the row of set 11 is missing");
    add(
        "byte 48 missing", [](Lines& l) { l.erase(l.begin() + 277); },
        "278:1: the row of damage table byte 48 is missing");
    add(
        "row too many", [](Lines& l) { l.push_back("50,1"); },
        "280:1: \"50\" is not a damage table byte: the bytes here are 48 and 49");
    add("stray cell", setLine(258, ",,,,,note"), "258:6: \"note\" is one cell too many");
    add("first fault first", both(setCell(50, 2, "\"a"), setCell(28, 3, "x")),
        "28:3: \"x\" is not a byte value");
    add("shared byte before a later fault", both(setCell(245, 3, "77"), setCell(262, 2, "x")),
        "245:3: health of slot F3 is 77");
    add("control characters shown safely", setCell(28, 3, "\x1B]0;x\x07\x7F\xC2\x9B"),
        "28:3: \"\\x1B]0;x\\x07\\x7F\\xC2\\x9B\" is not a byte value");
    add("no strict UTF-8: overlong, surrogate, beyond U+10FFFF; a backslash",
        setCell(28, 3, "\xE0\x80\x9B\xED\xA0\x80\xF4\x90\x80\x80\\x"),
        "28:3: \"\\xE0\\x80\\x9B\\xED\\xA0\\x80\\xF4\\x90\\x80\\x80\\\\x\" is not a byte value");
    add("long cell cut", setCell(28, 3, std::string(41, '9')),
        "28:3: \"9999999999999999999999999999999999999999\"… is not a byte value");
    add("cell missing", setLine(28, "1A,x,1,2"), "28:5: the row ends before its damage_high cell");
    add("cell too many", setLine(28, "1A,x,1,2,3,4"), "28:6: \"4\" is one cell too many");
    add("header wrong", setCell(259, 4, "armour3"), "259:4: expected the damage set header");
    add("stray quote", setCell(28, 2, "a\"b"), "28:2: a quote inside an unquoted field");
    add("quote never closes", setCell(28, 2, "\"a"), "28:2: the quoted field never closes");
    add("text after quote", setCell(28, 2, "\"a\"b"), "28:2: text follows the closing quote");
    add("shared byte disagrees", setCell(245, 3, "77"),
        "245:3: health of slot F3 is 77, but the damage byte of slot 00 (line 2");
}

void TablesCliTest::malformedTablesAreRefused() {
    QFETCH(std::vector<Mutation>, edits);
    QFETCH(QString, error);
    writeEditedTables(edits);
    const Run imported = run({"import", "game.smc", "tables.csv"});
    QCOMPARE(imported.status, 1);
    QVERIFY2(imported.err.starts_with("tables.csv:" + error.toStdString()), imported.err.c_str());
    QCOMPARE(readBytes(at("game.smc")), image);
}

void TablesCliTest::spreadsheetFormsAreRead_data() {
    QTest::addColumn<Respelling>("respell");
    const auto add = [](const char* name, Respelling respell) {
        QTest::addRow("%s", name) << std::move(respell);
    };
    add("CR LF", [](const std::string& t) { return replaced(t, "\n", "\r\n"); });
    add("CR", [](const std::string& t) { return replaced(t, "\n", "\r"); });
    add("UTF-8 byte order mark", [](const std::string& t) { return "\xEF\xBB\xBF" + t; });
    add("UTF-16 LE", [](const std::string& t) { return utf16(replaced(t, "\n", "\r\n"), false); });
    add("UTF-16 BE", [](const std::string& t) { return utf16(t, true); });
    add("UTF-16 written in pieces, each with its mark", [](const std::string& t) {
        const std::string cell = utf16(",95,", false).substr(2);
        return replaced(utf16(t, false), cell, cell.substr(0, 2) + "\xFF\xFE" + cell.substr(2));
    });
    add("semicolons", [](const std::string& t) { return replaced(t, ",", ";"); });
    add("tabs", [](const std::string& t) { return replaced(t, ",", "\t"); });
    add("sep= line", [](const std::string& t) { return "sep=|\n" + replaced(t, ",", "|"); });
    add("rows in reverse", reversedRows);
    add("single-digit slots", [](std::string t) {
        for (const char digit : std::string_view("0123456789ABCDEF"))
            t = replaced(t, std::string("\n0") + digit + ',', std::string("\n") + digit + ',');
        return t;
    });
    add("rows padded with empty cells", [](const std::string& t) {
        return replaced(replaced(t, "\n\n", "\n,,,,\n"), "\n4", ",,,\n4");
    });
}

void TablesCliTest::spreadsheetFormsAreRead() {
    QFETCH(Respelling, respell);
    writeEditedTables({setCell(28, 3, "95")});
    std::ifstream in(at("tables.csv"), std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    std::ofstream(at("tables.csv"), std::ios::binary | std::ios::trunc) << respell(text);
    const Run imported = run({"import", "game.smc", "tables.csv"});
    QVERIFY2(imported.status == 0, imported.err.c_str());
    QCOMPARE(readBytes(at("game.smc")), imageWith(healthAt(0x1A), 95));
}

void TablesCliTest::importListsWhatChanges_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::vector<Mutation>>("edits");
    QTest::addColumn<Bytes>("expected");
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("summary");
    const Mutation health = setCell(28, 3, "95"), armor = setCell(260, 2, "12");
    const std::string healthLine =
        "health 1A: " + std::to_string(image[healthAt(0x1A)]) + " -> 95\n";
    const std::string armorLine =
        "armor1 set 0: " + std::to_string(image[Core::damageTableOffset]) + " -> 12\n";
    Bytes both = imageWith(healthAt(0x1A), 95);
    both[Core::damageTableOffset] = 12;
    QTest::addRow("one entry") << QStringList{"import", "game.smc", "tables.csv"}
                               << std::vector{health} << imageWith(healthAt(0x1A), 95)
                               << QString::fromStdString(healthLine)
                               << "Saved into \"game.smc\": 1 table entry changed.\n";
    QTest::addRow("two entries, from standard input")
        << QStringList{"import", "game.smc", "-"} << std::vector{health, armor} << both
        << QString::fromStdString(healthLine + armorLine)
        << "Saved into \"game.smc\": 2 table entries changed.\n";
    QTest::addRow("dry run") << QStringList{"import", "-n", "game.smc", "tables.csv"}
                             << std::vector{health, armor} << image
                             << QString::fromStdString(healthLine + armorLine)
                             << "2 table entries would change; the image was not changed.\n";
    QTest::addRow("dry run, long option")
        << QStringList{"import", "game.smc", "--dry-run", "tables.csv"} << std::vector{armor}
        << image << QString::fromStdString(armorLine)
        << "1 table entry would change; the image was not changed.\n";
    // sum.sfc: game.sfc with a right checksum of its own.
    QTest::addRow("dry run, a right checksum")
        << QStringList{"import", "-n", "sum.sfc", "tables.csv"} << std::vector{health}
        << withRightChecksum(withoutHeader(image), 0, 0x7FC0) << QString::fromStdString(healthLine)
        << "1 table entry would change and the image's checksum would be updated; the image "
           "was not changed.\n";
    QTest::addRow("a right checksum kept right")
        << QStringList{"import", "sum.sfc", "tables.csv"} << std::vector{health}
        << withRightChecksum(withoutHeader(imageWith(healthAt(0x1A), 95)), 0, 0x7FC0)
        << QString::fromStdString(healthLine)
        << "Saved into \"sum.sfc\": 1 table entry changed and the image's checksum updated.\n";
    // Health F3 and the damage byte of 00 are one byte; the file gives it
    // another damage_set, and a health off in both four bits.
    const int shared = image[damageAt(0)], cellDamage = shared ^ 0x01, cellHealth = shared ^ 0x11;
    const std::vector edits{setCell(245, 3, std::to_string(cellHealth)),
                            setCell(2, 4, std::to_string(cellDamage & 15))};
    const std::string healthCell = "health " + std::to_string(cellHealth);
    const std::string damageCells = "damage byte " + std::to_string(cellDamage) + " (damage_set " +
                                    std::to_string(cellDamage & 15) + ", damage_high " +
                                    std::to_string(cellDamage >> 4) + ")";
    const auto change = [](const std::string& entry, int before, int after) {
        return before == after
                   ? std::string()
                   : entry + ": " + std::to_string(before) + " -> " + std::to_string(after) + "\n";
    };
    const auto sharedChanges = [&](int after) {
        return change("damage_set 00", shared & 15, after & 15) +
               change("damage_high 00", shared >> 4, after >> 4) +
               change("health F3", shared, after);
    };
    const std::string sides = "health F3 / damage byte 00: ";
    QTest::addRow("--overlap=damage")
        << QStringList{"import", "--overlap=damage", "game.smc", "tables.csv"} << edits
        << imageWith(damageAt(0), cellDamage)
        << QString::fromStdString(sides + damageCells + " taken, " + healthCell + " overridden\n" +
                                  sharedChanges(cellDamage))
        << "Saved into \"game.smc\": 2 table entries changed.\n";
    QTest::addRow("--overlap health")
        << QStringList{"import", "--overlap", "health", "game.smc", "tables.csv"} << edits
        << imageWith(damageAt(0), cellHealth)
        << QString::fromStdString(sides + healthCell + " taken, " + damageCells + " overridden\n" +
                                  sharedChanges(cellHealth))
        << "Saved into \"game.smc\": 3 table entries changed.\n";
}

void TablesCliTest::importListsWhatChanges() {
    QFETCH(QStringList, arguments);
    QFETCH(std::vector<Mutation>, edits);
    QFETCH(Bytes, expected);
    QFETCH(QString, listing);
    QFETCH(QString, summary);
    const auto imageArgument = std::ranges::find_if(arguments, [](const QString& argument) {
        return argument.endsWith(".smc") || argument.endsWith(".sfc");
    });
    const std::string name = imageArgument->toStdString();
    writeBytes(at("sum.sfc"), withRightChecksum(withoutHeader(image), 0, 0x7FC0));
    writeEditedTables(edits);
    std::ifstream in(at("tables.csv"), std::ios::binary);
    const Run imported = run(arguments, std::string(std::istreambuf_iterator<char>(in), {}));
    QCOMPARE(imported.status, 0);
    QCOMPARE(imported.out, listing.toStdString());
    QCOMPARE(imported.err, summary.toStdString());
    QCOMPARE(readBytes(at(name)), expected);
}

// Names that spreadsheets would evaluate go out behind an apostrophe, quoted,
// and names holding a separator are quoted, so that every row keeps its cells.
void TablesCliTest::namesNeverBecomeFormulas() {
    const fs::path program = at("program");
    fs::create_directory(program);
    const fs::path copy = program / fs::path(TARVON_TABLES).filename();
    fs::copy_file(TARVON_TABLES, copy);
    const Lines names{"=1+1", "+1", "-1", "@A1", "\tx", "a;b", "a\tb", "plain"};
    std::ofstream(program / "names.cfg") << join(names, '\n');
    QProcess process;
    process.setWorkingDirectory(dir->path());
    process.start(QString::fromStdString(copy.string()), {"export", "game.smc"});
    QVERIFY(process.waitForFinished(10000));
    const Lines lines = split(process.readAllStandardOutput().toStdString(), '\n');
    const Lines expected{"\"'=1+1\"", "\"'+1\"", "\"'-1\"",  "\"'@A1\"",
                         "\"'\tx\"",  "\"a;b\"", "\"a\tb\"", "plain"};
    for (std::size_t slot = 0; slot < expected.size(); ++slot)
        QCOMPARE(split(lines[slot + 1], ',')[1], expected[slot]);
}

void TablesCliTest::outputKeepsLinkAndPermissions() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no POSIX permission bits, and symbolic links need a privilege there");
#else
    fs::create_directory(at("real"));
    std::ofstream(at("real/tables.csv")) << "old";
    fs::permissions(at("real/tables.csv"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/tables.csv", at("link.csv"));
    QCOMPARE(run({"export", "game.smc", "-o", "link.csv"}).status, 0);
    QVERIFY(fs::is_symlink(at("link.csv")));
    QCOMPARE(permissionsOf(at("real/tables.csv")), mode_t(0600));
    std::ifstream in(at("real/tables.csv"));
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), run({"export", "game.smc"}).out);
    QCOMPARE(std::distance(fs::directory_iterator(at("real")), {}), 1);
    QCOMPARE(fileCount(), 4u);
#endif
}

void TablesCliTest::failedWritesSaySo_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("error");
    // The shell's file size limit, in 512-byte blocks, makes a write fail
    // partway (the program itself ignores SIGXFSZ): the output after 2,048
    // bytes; the image before its tables, or 141 bytes into the enemy tables,
    // where what landed is put back.
    QTest::addRow("output file") << "ulimit -f 4; exec \"$0\" export game.smc -o out.csv"
                                 << "tarvon-tables: cannot write \"out.csv\": File too large; "
                                    "nothing was written\n";
    QTest::addRow("image") << "ulimit -f 100; exec \"$0\" import game.smc out.csv"
                           << "tarvon-tables: cannot save \"game.smc\": File too large; the "
                              "image was not changed\n";
    QTest::addRow("image, inside its tables")
        << "ulimit -f 858; exec \"$0\" import game.smc out.csv"
        << "tarvon-tables: cannot save \"game.smc\": File too large; the image was not "
           "changed\n";
}

void TablesCliTest::failedWritesSaySo() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no file size limit (ulimit -f) to make a write fail partway");
#endif
    QFETCH(QString, command);
    QFETCH(QString, error);
    writeEditedTables({setCell(28, 3, "95")});
    fs::rename(at("tables.csv"), at("out.csv"));
    const Bytes edited = readBytes(at("out.csv"));
    QProcess shell;
    shell.setWorkingDirectory(dir->path());
    shell.start("sh", {"-c", command, TARVON_TABLES});
    QVERIFY(shell.waitForFinished(10000));
    QCOMPARE(shell.exitCode(), 1);
    QCOMPARE(shell.readAllStandardError().toStdString(), error.toStdString());
    QCOMPARE(readBytes(at("out.csv")), edited);
    QCOMPARE(readBytes(at("game.smc")), image);
    QCOMPARE(fileCount(), 3u);
}

// Ctrl+C while the output's temporary is written: the program puts the whole
// file in place first, then stops; no temporary stays behind.
void TablesCliTest::stopSignalWaitsForTheOutput() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no LD_PRELOAD to press Ctrl+C while the temporary is written");
#else
    const Run stopped =
        run({"export", "game.smc", "-o", "tables.csv"}, {}, Preload{STOP_DURING_WRITE, {}, {}});
    QCOMPARE(stopped.status, -1);
    std::ifstream in(at("tables.csv"));
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), run({"export", "game.smc"}).out);
    QCOMPARE(fileCount(), 3u);
#endif
}

void TablesCliTest::importRefusesTablesChangedMeanwhile_data() {
    QTest::addColumn<std::string>("imageName");
    QTest::addColumn<std::uint32_t>("changeOffset");
    QTest::addColumn<std::string>("refusal"); // empty: saved
    QTest::addRow("a damage byte")
        << std::string("game.smc") << std::uint32_t(damageAt(0x80))
        << std::string("\"game.smc\": the tables were changed by another program during the "
                       "import; the image was not changed");
    QTest::addRow("a byte outside the tables")
        << std::string("game.smc") << std::uint32_t(Core::signatureOffset + 8) << std::string();
    // The name holds what ends a sentence; the message keeps all of it.
    QTest::addRow("a file size limit, for an image named with \": and . ")
        << std::string("a\": b. c.smc") << std::uint32_t(Core::signatureOffset + 8)
        << std::string("cannot save \"a\": b. c.smc\": File too large; the image was not "
                       "changed");
}

// Another program writes the image between the import's read and its write:
// a changed table byte stops the import before it writes anything.
void TablesCliTest::importRefusesTablesChangedMeanwhile() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no LD_PRELOAD to change the image between the import's read and its "
          "write");
#else
    QFETCH(std::string, imageName);
    QFETCH(std::uint32_t, changeOffset);
    QFETCH(std::string, refusal);
    writeEditedTables({setCell(28, 3, "95")});
    writeBytes(at(imageName), image);
    Bytes expected = image;
    expected[changeOffset] = std::uint8_t(~expected[changeOffset]);
    if (refusal.empty())
        expected[healthAt(0x1A)] = 95;

    if (imageName != "game.smc")
        qputenv("TARVON_RESERVE_ERROR", QByteArray::number(EFBIG));
    const Run imported =
        run({"import", QString::fromStdString(imageName), "tables.csv"}, {},
            Preload{CHANGE_DURING_IMPORT, "TARVON_CHANGE_OFFSET", QString::number(changeOffset)});
    qunsetenv("TARVON_RESERVE_ERROR");
    QCOMPARE(imported.status, refusal.empty() ? 0 : 1);
    if (!refusal.empty())
        QCOMPARE(imported.err, "tarvon-tables: " + refusal + "\n");
    QCOMPARE(readBytes(at(imageName)), expected);
#endif
}

void TablesCliTest::diffListsEachChangedEntry() {
    Bytes other = image;
    other[healthAt(0x1A)] = 95;
    other[damageAt(0)] ^= 0x11;
    other[Core::damageTableOffset + 4] += 1;
    writeBytes(at("other.smc"), other);
    const auto byte = [this](std::uint32_t offset) { return std::to_string(image[offset]); };
    const Run differing = run({"diff", "game.smc", "other.smc"});
    QCOMPARE(differing.status, 1);
    QCOMPARE(differing.out,
             "damage_set 00: " + std::to_string(places::damageSetOf(image[damageAt(0)])) + " -> " +
                 std::to_string(places::damageSetOf(other[damageAt(0)])) +
                 "\ndamage_high 00: " + std::to_string(image[damageAt(0)] >> 4) + " -> " +
                 std::to_string(other[damageAt(0)] >> 4) + "\nhealth 1A: " + byte(healthAt(0x1A)) +
                 " -> 95\nhealth F3: " + byte(damageAt(0)) + " -> " +
                 std::to_string(other[damageAt(0)]) +
                 "\narmor2 set 1: " + byte(Core::damageTableOffset + 4) + " -> " +
                 std::to_string(other[Core::damageTableOffset + 4]) + "\n");
    const Run same = run({"diff", "game.smc", "game.smc"});
    QCOMPARE(same.status, 0);
    QCOMPARE(same.out, "");
}

void TablesCliTest::patchHoldsExactlyTheChangedTableBytes_data() {
    QTest::addColumn<std::vector<std::uint32_t>>("changed"); // with a copier header
    QTest::addColumn<bool>("headerless");                    // the two images
    QTest::addColumn<QString>("layout");                     // --layout, if any
    QTest::addColumn<bool>("rightChecksum");                 // of the original
    const std::vector scattered{Core::damageTableOffset,
                                Core::damageTableOffset + 49,
                                healthAt(0),
                                healthAt(0x1A),
                                damageAt(0),
                                damageAt(1),
                                damageAt(0xFF)};
    QTest::addRow("scattered bytes") << scattered << false << QString() << false;
    // One record of more than 256 bytes: its size takes both bytes.
    std::vector<std::uint32_t> everyEnemyByte;
    for (std::uint32_t offset = healthAt(0); offset <= damageAt(0xFF); ++offset)
        everyEnemyByte.push_back(offset);
    QTest::addRow("every health and damage byte") << everyEnemyByte << false << QString() << false;
    QTest::addRow("no copier header") << scattered << true << QString() << false;
    QTest::addRow("with a copier header, for images without")
        << scattered << false << QString("headerless") << false;
    QTest::addRow("no copier header, a right checksum kept right")
        << scattered << true << QString() << true;
}

// The patch, applied as IPS patchers do to an image of the layout it names,
// gives that image the modified tables.
void TablesCliTest::patchHoldsExactlyTheChangedTableBytes() {
    QFETCH(std::vector<std::uint32_t>, changed);
    QFETCH(bool, headerless);
    QFETCH(QString, layout);
    QFETCH(bool, rightChecksum);
    const auto checksummed = [rightChecksum](const Bytes& bytes) {
        return rightChecksum ? withRightChecksum(bytes, 0x200, 0x7FC0) : bytes;
    };
    const Bytes original = checksummed(image);
    Bytes modified = makeSyntheticImage(imageSize, 14); // other filler outside the tables
    std::mt19937 random(14);
    for (const std::uint32_t offset : changed)
        modified[offset] = std::uint8_t(image[offset] + 1 + random() % 255);
    writeBytes(at("original"), headerless ? withoutHeader(original) : original);
    writeBytes(at("modified"), headerless ? withoutHeader(modified) : modified);
    QStringList arguments{"patch", "original", "modified", "-o", "tables.ips"};
    if (!layout.isEmpty())
        arguments << "--layout" << layout;
    const Run made = run(arguments);
    QCOMPARE(made.status, 0);
    const bool forHeaderless = layout.isEmpty() ? headerless : layout == "headerless";
    QCOMPARE(made.err, std::string("Wrote \"tables.ips\" for images ") +
                           (forHeaderless ? "without" : "with") + " a copier header" +
                           (rightChecksum ? ", the image's checksum included" : "") + ".\n");

    Bytes expected = image;
    for (const auto& [offset, size] :
         {std::pair{Core::damageTableOffset, Core::damageTableSize},
          std::pair{Core::enemyHealthOffset, Core::minimumImageSize - Core::enemyHealthOffset}})
        std::copy_n(modified.begin() + offset, size, expected.begin() + offset);
    expected = checksummed(expected);
    if (forHeaderless)
        expected = withoutHeader(expected);
    Bytes patched = forHeaderless ? withoutHeader(original) : original;
    const Bytes ips = readBytes(at("tables.ips"));
    QCOMPARE(Bytes(ips.begin(), ips.begin() + 5), Bytes({'P', 'A', 'T', 'C', 'H'}));
    std::size_t i = 5;
    for (; i + 3 <= ips.size() &&
           Bytes(ips.begin() + i, ips.begin() + i + 3) != Bytes{'E', 'O', 'F'};) {
        const std::size_t offset = ips[i] << 16 | ips[i + 1] << 8 | ips[i + 2];
        const std::size_t size = ips[i + 3] << 8 | ips[i + 4];
        QVERIFY2(size > 0 && i + 5 + size <= ips.size() && offset + size <= patched.size(),
                 "a record reaches past the patch or the image");
        std::copy_n(ips.begin() + i + 5, size, patched.begin() + offset);
        i += 5 + size;
    }
    QCOMPARE(i + 3, ips.size());
    QCOMPARE(patched, expected);
}

void TablesCliTest::patchRefusesImages_data() {
    QTest::addColumn<Bytes>("modified");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("error");
    Bytes notTheGame = image;
    notTheGame[Core::signatureOffset] = 0;
    const QString patch = "tables.ips";
    QTest::addRow("not the game") << notTheGame << patch
                                  << "\"modified.smc\" is not an image of the game\n";
    QTest::addRow("too short") << Bytes(image.begin(), image.begin() + Core::minimumImageSize - 1)
                               << patch << "\"modified.smc\" is 439,653 bytes long";
    Bytes longer = image;
    longer.push_back(0);
    QTest::addRow("longer") << longer << patch
                            << "\"game.smc\" is 524,800 bytes long and \"modified.smc\" 524,801";
    QTest::addRow("unreadable") << Bytes{} << patch
                                << "cannot read \"modified.smc\": Not a regular file\n";
    QTest::addRow("output is the modified image")
        << imageWith(healthAt(0x1A), 95) << "./modified.smc"
        << "\"./modified.smc\" is the image \"modified.smc\"; choose another output file, "
           "nothing was written\n";
}

void TablesCliTest::patchRefusesImages() {
    QFETCH(Bytes, modified);
    QFETCH(QString, output);
    QFETCH(QString, error);
    if (modified.empty())
        fs::create_directory(at("modified.smc"));
    else
        writeBytes(at("modified.smc"), modified);
    const Run patch = run({"patch", "game.smc", "modified.smc", "-o", output});
    QCOMPARE(patch.status, 1);
    QVERIFY2(patch.err.starts_with("tarvon-tables: " + error.toStdString()), patch.err.c_str());
    QVERIFY(!fs::exists(at("tables.ips")));
    if (!modified.empty())
        QCOMPARE(readBytes(at("modified.smc")), modified);
    QCOMPARE(readBytes(at("game.smc")), image);
}

void TablesCliTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("output");
    QTest::addColumn<std::string>("input");
    const auto add = [](const char* name, QStringList arguments, int status, QString error,
                        const char* output = "", const std::string& input = {}) {
        QTest::addRow("%s", name) << arguments << status << error << QString(output) << input;
    };
    // The system's words for a file that is not there.
    const auto missing = [](const std::string& path) {
        return QString::fromStdString(missingFileReason(path));
    };
    add("nothing", {}, 2, "usage: tarvon-tables COMMAND");
    add("no such command", {"frob"}, 2, "tarvon-tables: 'frob' is not a command");
    add("no image", {"export"}, 2, "tarvon-tables: too few arguments");
    add("two images", {"export", "game.smc", "x"}, 2, "tarvon-tables: unexpected argument 'x'");
    add("unknown option", {"diff", "-o", "x", "game.smc", "game.smc"}, 2,
        "tarvon-tables: unknown option '-o'");
    add("-n outside import", {"export", "-n", "game.smc"}, 2, "tarvon-tables: unknown option '-n'");
    add("-- ends the options", {"diff", "--", "game.smc", "-o"}, 2,
        "tarvon-tables: cannot read \"-o\": " + missing("-o") + "\n");
    add("-o without file", {"export", "game.smc", "-o"}, 2,
        "tarvon-tables: option '-o' needs a file name");
    add("patch without -o", {"patch", "game.smc", "game.smc"}, 2,
        "tarvon-tables: the output file is missing (-o FILE)");
    add("output is the image", {"export", "game.smc", "--output=./game.smc"}, 1,
        "tarvon-tables: \"./game.smc\" is the image");
    add("output folder missing", {"export", "game.smc", "-o", "gone/tables.csv"}, 1,
        "tarvon-tables: cannot write \"gone/tables.csv\": " + missing("gone/tables.csv") +
            "; nothing was written\n");
    add("missing image", {"diff", "game.smc", "gone.smc"}, 2,
        "tarvon-tables: cannot read \"gone.smc\": " + missing("gone.smc") + "\n");
    add("patch, first image missing", {"patch", "gone.smc", "game.smc", "-o", "x.ips"}, 1,
        "tarvon-tables: cannot read \"gone.smc\": " + missing("gone.smc") + "\n");
    add("escape in a file name", {"diff", "game.smc", "x\x1B]0;TITLE\x07.smc"}, 2,
        "tarvon-tables: cannot read \"x\\x1B]0;TITLE\\x07.smc\": " +
            missing("x\x1B]0;TITLE\x07.smc") + "\n");
    add("escape in an argument", {"export", "game.smc", "\x1B[2J"}, 2,
        "tarvon-tables: unexpected argument '\\x1B[2J'\n");
    add("standard input over 16 MiB", {"import", "game.smc", "-"}, 1,
        "tarvon-tables: cannot read \"<stdin>\": Larger than 16 MiB; the image was not changed\n",
        "", std::string((16 << 20) + 1, 'x'));
    add("help", {"import", "--help"}, 0, "",
        "usage: tarvon-tables import [-n] [--overlap=SIDE] IMAGE FILE\n");
    add("help alias", {"help"}, 0, "", "usage: tarvon-tables COMMAND");
    add("version", {"--version"}, 0, "", "tarvon-tables " TARVON_VERSION "\n");
    add("export to standard output", {"export", "game.smc", "-o", "-"}, 0, "",
        "slot,name,health,damage_set,damage_high\n00,");
    add("export to /dev/stdout, a pipe", {"export", "game.smc", "-o", "/dev/stdout"}, 0, "",
        "slot,name,health,damage_set,damage_high\n00,");
    add("patch to standard output", {"patch", "game.smc", "game.smc", "--output=-"}, 0,
        "Wrote the patch to standard output for images with a copier header.\n", "PATCHEOF");
    add("diff of one image in both layouts", {"diff", "game.smc", "game.sfc"}, 0, "");
    add("patch of images in two layouts", {"patch", "game.smc", "game.sfc", "-o", "x.ips"}, 2,
        "tarvon-tables: \"game.smc\" and \"game.sfc\" differ in layout (one has a copier "
        "header, the other none); name the patch's with --layout headered or --layout "
        "headerless\nusage: ");
    add("patch of images in two layouts, --layout named",
        {"patch", "game.smc", "game.sfc", "--layout", "headerless", "-o", "-"}, 0,
        "Wrote the patch to standard output for images without a copier header.\n", "PATCHEOF");
    add("unknown layout", {"patch", "game.sfc", "game.sfc", "--layout=other", "-o", "-"}, 2,
        "tarvon-tables: unknown layout 'other'; choose headered or headerless\n");
    add("unknown overlap side", {"import", "--overlap=x", "game.smc", "game.smc"}, 2,
        "tarvon-tables: unknown overlap side 'x'; choose damage or health\nusage: ");
    add("overlap side missing", {"import", "game.smc", "game.smc", "--overlap"}, 2,
        "tarvon-tables: option '--overlap' needs damage or health\nusage: ");
}

void TablesCliTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(QString, output);
    QFETCH(std::string, input);
#ifdef Q_OS_WIN
    if (arguments.contains("/dev/stdout"))
        QSKIP("Windows has no /dev/stdout");
#endif
    const Run result = run(arguments, input);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.starts_with(error.toStdString()), result.err.c_str());
    QVERIFY2(result.out.starts_with(output.toStdString()), result.out.c_str());
    QCOMPARE(result.out.empty(), output.isEmpty());
    QCOMPARE(fileCount(), 2u);
    QCOMPARE(readBytes(at("game.smc")), image);
    QCOMPARE(readBytes(at("game.sfc")), withoutHeader(image));
}

void TablesCliTest::terminalsGetNoRawBytes_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("onTerminal");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QByteArray>("absent");
    const QStringList patch{"patch", "game.smc", "game.smc", "-o", "-"};
    QTest::addRow("patch to a terminal")
        << patch << true << 1
        << QByteArray("tarvon-tables: standard output is a terminal; choose an output file or a "
                      "pipe, nothing was written")
        << QByteArray("PATCH");
    const QStringList exportTables{"export", "game.smc"};
    QTest::addRow("export to a terminal")
        << exportTables << true << 0 << QByteArray("00,\"x\\x1B]0;TITLE\\x07\",")
        << QByteArray("\x1B");
    QTest::addRow("export to a pipe")
        << exportTables << false << 0 << QByteArray("00,\"x\x1B]0;TITLE\x07\",")
        << QByteArray("\\x1B");
}

// A terminal acts on control characters: the patch's bytes never reach one,
// and names go there escaped. A pipe gets the bytes as they are.
void TablesCliTest::terminalsGetNoRawBytes() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, onTerminal);
    QFETCH(int, status);
    QFETCH(QByteArray, shown);
    QFETCH(QByteArray, absent);
#ifdef Q_OS_WIN
    if (onTerminal)
        QSKIP("Windows has no pseudo-terminal to run the program on");
#endif
    writeUserNames("x\x1B]0;TITLE\x07\n");
#ifdef Q_OS_WIN
    const Run result = run(arguments);
    constexpr std::size_t files = 2; // the images
#else
    const Run result = onTerminal ? runOnTerminal(arguments) : run(arguments);
    constexpr std::size_t files = 3; // the images and the user's folder
#endif
    const std::string written = result.out + result.err;
    QCOMPARE(result.status, status);
    QVERIFY2(written.find(shown.toStdString()) != std::string::npos, written.c_str());
    QVERIFY2(written.find(absent.toStdString()) == std::string::npos, written.c_str());
    QCOMPARE(fileCount(), files);
}

QTEST_GUILESS_MAIN(TablesCliTest)
#include "tst_tables_cli.moc"
