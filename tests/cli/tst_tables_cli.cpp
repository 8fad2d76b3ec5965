// tarvon-tables on real files: export and import, refused tables, diff, patch
// and usage errors. Every case also checks that no image changed.
#include "Core.h"
#include "DemoImage.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using Mutation = std::function<void(Lines&)>;

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

// Image offsets of CSV cells: slot s is on line s + 2, set k on line 260 + k.
std::uint32_t healthAt(int slot) {
    return Core::enemyHealthOffset + slot;
}
std::uint32_t damageAt(int slot) {
    return Core::enemyDamageOffset + slot;
}

struct Run {
    int status = -1;
    std::string out, err;
};

} // namespace

Q_DECLARE_METATYPE(Mutation)
Q_DECLARE_METATYPE(std::vector<Mutation>)
Q_DECLARE_METATYPE(Bytes)

class TablesCliTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void roundTripKeepsEveryByte();
    void editedCellsChangeExactlyTheirByte_data();
    void editedCellsChangeExactlyTheirByte();
    void malformedTablesAreRefused_data();
    void malformedTablesAreRefused();
    void importRefusesTablesChangedMeanwhile_data();
    void importRefusesTablesChangedMeanwhile();
    void diffListsEachChangedEntry();
    void patchHoldsExactlyTheChangedTableBytes();
    void patchRefusesImages_data();
    void patchRefusesImages();
    void commandLine_data();
    void commandLine();

private:
    std::unique_ptr<QTemporaryDir> dir;
    Bytes image = makeSyntheticImage(imageSize, 13);
    fs::path at(const std::string& name) const { return dir->path().toStdString() + "/" + name; }
    // Runs tarvon-tables; with `changeOffset`, another program inverts the
    // image byte there between the import's read and its write.
    Run run(const QStringList& arguments, std::optional<std::uint32_t> changeOffset = {}) const;
    // Exports game.smc, applies `mutations` and writes tables.csv.
    void writeEditedTables(const std::vector<Mutation>& mutations) const;
    std::size_t fileCount() const;
};

void TablesCliTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    writeBytes(at("game.smc"), image);
}

Run TablesCliTest::run(const QStringList& arguments,
                       std::optional<std::uint32_t> changeOffset) const {
    QProcess process;
    process.setWorkingDirectory(dir->path());
    if (changeOffset) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", CHANGE_DURING_IMPORT);
        environment.insert("TARVON_CHANGE_OFFSET", QString::number(*changeOffset));
        // AddressSanitizer builds: the library comes before the sanitizer's.
        environment.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
        process.setProcessEnvironment(environment);
    }
    process.start(TARVON_TABLES, arguments);
    Run result;
    if (!process.waitForFinished(10000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

void TablesCliTest::writeEditedTables(const std::vector<Mutation>& mutations) const {
    Lines lines = split(run({"export", "game.smc"}).out, '\n');
    for (const Mutation& mutate : mutations)
        mutate(lines);
    std::ofstream(at("tables.csv"), std::ios::binary) << join(lines, '\n');
}

std::size_t TablesCliTest::fileCount() const {
    return std::size_t(std::distance(fs::directory_iterator(at("")), {}));
}

void TablesCliTest::roundTripKeepsEveryByte() {
    const Run exported = run({"export", "game.smc", "-o", "tables.csv"});
    QCOMPARE(exported.status, 0);
    QCOMPARE(exported.err, "");
    QCOMPARE(run({"import", "game.smc", "tables.csv"}).status, 0);
    QCOMPARE(readBytes(at("game.smc")), image);
    QCOMPARE(fileCount(), 2u);
}

void TablesCliTest::editedCellsChangeExactlyTheirByte_data() {
    QTest::addColumn<std::vector<Mutation>>("edits");
    QTest::addColumn<Bytes>("expected");
    const auto changed = [this](std::uint32_t offset, int value) {
        Bytes bytes = image;
        bytes[offset] = std::uint8_t(value);
        return bytes;
    };
    QTest::addRow("health 1A") << std::vector{setCell(28, 3, "95")} << changed(healthAt(0x1A), 95);
    QTest::addRow("damage_set 20") << std::vector{setCell(34, 4, "07")}
                                   << changed(damageAt(0x20), (image[damageAt(0x20)] & 0xF0) | 7);
    QTest::addRow("damage_high 20") << std::vector{setCell(34, 5, "15")}
                                    << changed(damageAt(0x20), image[damageAt(0x20)] | 0xF0);
    QTest::addRow("armor3 set 15")
        << std::vector{setCell(275, 4, "0")} << changed(Core::damageTableOffset + 47, 0);
    QTest::addRow("byte 49") << std::vector{setCell(279, 2, "255")}
                             << changed(Core::damageTableOffset + 49, 255);
    QTest::addRow("health F4 with damage byte 01")
        << std::vector{setCell(246, 3, "33"), setCell(3, 4, "1"), setCell(3, 5, "2")}
        << changed(damageAt(1), 0x21);
}

void TablesCliTest::editedCellsChangeExactlyTheirByte() {
    QFETCH(std::vector<Mutation>, edits);
    QFETCH(Bytes, expected);
    writeEditedTables(edits);
    const Run imported = run({"import", "game.smc", "tables.csv"});
    QCOMPARE(imported.status, 0);
    QCOMPARE(readBytes(at("game.smc")), expected);
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
    add("slot out of order", setCell(28, 1, "1B"), "28:1: \"1B\" is not slot 1A");
    add("set out of order", setCell(262, 1, "3"), "262:1: \"3\" is not set 2");
    add(
        "row missing", [](Lines& l) { l.erase(l.begin() + 99); }, "100:1: \"63\" is not slot 62");
    add(
        "file cut", [](Lines& l) { l.resize(270); },
        "271:1: the file ends before the row of set 11");
    add(
        "row too many", [](Lines& l) { l.push_back("50,1"); }, "280:1: \"50\" starts a row after");
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

void TablesCliTest::importRefusesTablesChangedMeanwhile_data() {
    QTest::addColumn<std::uint32_t>("changeOffset");
    QTest::addColumn<bool>("refused");
    QTest::addRow("a damage byte") << std::uint32_t(damageAt(0x80)) << true;
    QTest::addRow("a byte outside the tables") << std::uint32_t(Core::signatureOffset + 8) << false;
}

// Another program writes the image between the import's read and its write:
// a changed table byte stops the import before it writes anything.
void TablesCliTest::importRefusesTablesChangedMeanwhile() {
    QFETCH(std::uint32_t, changeOffset);
    QFETCH(bool, refused);
    writeEditedTables({setCell(28, 3, "95")});
    Bytes expected = image;
    expected[changeOffset] = std::uint8_t(~expected[changeOffset]);
    if (!refused)
        expected[healthAt(0x1A)] = 95;

    const Run imported = run({"import", "game.smc", "tables.csv"}, changeOffset);
    QCOMPARE(imported.status, refused ? 1 : 0);
    if (refused)
        QCOMPARE(imported.err,
                 std::string("tarvon-tables: \"game.smc\": the tables were changed by "
                             "another program during the import; the image was not "
                             "changed\n"));
    QCOMPARE(readBytes(at("game.smc")), expected);
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
    QCOMPARE(differing.out, "damage_set 00: " + std::to_string(image[damageAt(0)] & 0x0F) + " -> " +
                                std::to_string(other[damageAt(0)] & 0x0F) +
                                "\ndamage_high 00: " + std::to_string(image[damageAt(0)] >> 4) +
                                " -> " + std::to_string(other[damageAt(0)] >> 4) + "\nhealth 1A: " +
                                byte(healthAt(0x1A)) + " -> 95\nhealth F3: " + byte(damageAt(0)) +
                                " -> " + std::to_string(other[damageAt(0)]) +
                                "\narmor2 set 1: " + byte(Core::damageTableOffset + 4) + " -> " +
                                std::to_string(other[Core::damageTableOffset + 4]) + "\n");
    const Run same = run({"diff", "game.smc", "game.smc"});
    QCOMPARE(same.status, 0);
    QCOMPARE(same.out, "");
}

void TablesCliTest::patchHoldsExactlyTheChangedTableBytes() {
    Bytes modified = makeSyntheticImage(imageSize, 14); // other filler outside the tables
    std::mt19937 random(14);
    for (std::uint32_t offset : {Core::damageTableOffset, Core::damageTableOffset + 49, healthAt(0),
                                 healthAt(0x1A), damageAt(0), damageAt(1), damageAt(0xFF)})
        modified[offset] = std::uint8_t(image[offset] + 1 + random() % 255);
    writeBytes(at("modified.smc"), modified);
    QCOMPARE(run({"patch", "game.smc", "modified.smc", "-o", "tables.ips"}).status, 0);

    Bytes patched = image;
    const Bytes ips = readBytes(at("tables.ips"));
    QCOMPARE(Bytes(ips.begin(), ips.begin() + 5), Bytes({'P', 'A', 'T', 'C', 'H'}));
    std::size_t i = 5;
    for (; i + 3 <= ips.size() &&
           Bytes(ips.begin() + i, ips.begin() + i + 3) != Bytes{'E', 'O', 'F'};) {
        const std::size_t offset = ips[i] << 16 | ips[i + 1] << 8 | ips[i + 2];
        const std::size_t size = ips[i + 3] << 8 | ips[i + 4];
        std::copy_n(ips.begin() + i + 5, size, patched.begin() + offset);
        i += 5 + size;
    }
    QCOMPARE(i + 3, ips.size());

    Bytes expected = image;
    for (const auto& [offset, size] :
         {std::pair{Core::damageTableOffset, Core::damageTableSize},
          std::pair{Core::enemyHealthOffset, Core::minimumImageSize - Core::enemyHealthOffset}})
        std::copy_n(modified.begin() + offset, size, expected.begin() + offset);
    QCOMPARE(patched, expected);
}

void TablesCliTest::patchRefusesImages_data() {
    QTest::addColumn<Bytes>("modified");
    QTest::addColumn<QString>("error");
    Bytes notTheGame = image;
    notTheGame[Core::signatureOffset] = 0;
    QTest::addRow("not the game") << notTheGame << "\"modified.smc\" is not an image of the game.";
    QTest::addRow("too short") << Bytes(image.begin(), image.begin() + Core::minimumImageSize - 1)
                               << "\"modified.smc\" is 439,653 bytes long";
    Bytes longer = image;
    longer.push_back(0);
    QTest::addRow("longer") << longer
                            << "\"game.smc\" is 524800 bytes long and \"modified.smc\" 524801";
}

void TablesCliTest::patchRefusesImages() {
    QFETCH(Bytes, modified);
    QFETCH(QString, error);
    writeBytes(at("modified.smc"), modified);
    const Run patch = run({"patch", "game.smc", "modified.smc", "-o", "tables.ips"});
    QCOMPARE(patch.status, 1);
    QVERIFY2(patch.err.starts_with("tarvon-tables: " + error.toStdString()), patch.err.c_str());
    QVERIFY(!fs::exists(at("tables.ips")));
}

void TablesCliTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addRow("nothing") << QStringList{} << 2 << "usage: tarvon-tables COMMAND";
    QTest::addRow("no such command")
        << QStringList{"frob"} << 2 << "tarvon-tables: 'frob' is not a command";
    QTest::addRow("no image") << QStringList{"export"} << 2 << "tarvon-tables: too few arguments";
    QTest::addRow("two images") << QStringList{"export", "game.smc", "x"} << 2
                                << "tarvon-tables: unexpected argument 'x'";
    QTest::addRow("unknown option") << QStringList{"diff", "-o", "x", "game.smc", "game.smc"} << 2
                                    << "tarvon-tables: unknown option '-o'";
    QTest::addRow("-o without file") << QStringList{"export", "game.smc", "-o"} << 2
                                     << "tarvon-tables: option '-o' needs a file name";
    QTest::addRow("patch without -o") << QStringList{"patch", "game.smc", "game.smc"} << 2
                                      << "tarvon-tables: the output file is missing (-o FILE)";
    QTest::addRow("output is the image") << QStringList{"export", "game.smc", "--output=./game.smc"}
                                         << 1 << "tarvon-tables: \"./game.smc\" is the image";
    QTest::addRow("missing image") << QStringList{"diff", "game.smc", "gone.smc"} << 2
                                   << "tarvon-tables: Cannot read \"gone.smc\"";
    QTest::addRow("help") << QStringList{"import", "--help"} << 0 << "";
}

void TablesCliTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    const Run result = run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.starts_with(error.toStdString()), result.err.c_str());
    QCOMPARE(result.out.starts_with("usage: tarvon-tables import IMAGE FILE"), status == 0);
    QCOMPARE(fileCount(), 1u);
    QCOMPARE(readBytes(at("game.smc")), image);
}

QTEST_GUILESS_MAIN(TablesCliTest)
#include "tst_tables_cli.moc"
