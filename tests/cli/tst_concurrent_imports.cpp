// Imports started together on one image, round after round: each CSV moves
// every table byte by its own amount, so that every byte names the import it
// came from. However the imports interleave, the successes must form a chain,
// each replacing exactly what the one before it wrote, and the image must end
// as the last one left it.
#include "Core.h"
#include "DemoImage.h"
#include "TableCsv.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <map>
#include <memory>

namespace {

constexpr int roundMilliseconds = 3000;

// Rounds for three seconds, or as many as TARVON_IMPORT_ROUNDS asks for a
// longer stress run.
bool anotherRound(const QElapsedTimer& clock, int rounds) {
    const int asked = qEnvironmentVariableIntValue("TARVON_IMPORT_ROUNDS");
    return asked > 0 ? rounds < asked : clock.elapsed() < roundMilliseconds;
}

// The table bytes of `tables` with every byte moved by `amount`.
image::TableBytes moved(image::TableBytes tables, int amount) {
    for (Byte& byte : tables)
        byte = Byte(byte + amount);
    return tables;
}

// A scratch folder on tmpfs where there is one, as the busiest case.
std::unique_ptr<QTemporaryDir> scratchDir() {
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        return std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tarvon-XXXXXX"));
    return std::make_unique<QTemporaryDir>();
}

// The amount by which an import's listed old values differ from the round's
// starting tables, read from its first change of a health of its own (below
// slot F3): "health 1A: 40 -> 45" from an import moving by 3 says 2.
std::optional<int> sourceOf(const QByteArray& listing, int amount) {
    for (const QByteArray& line : listing.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 5 && words[0] == "health" && words[1] < "F3:")
            return (words[2].toInt() - words[4].toInt() + amount + 512) % 256;
    }
    return std::nullopt;
}

} // namespace

class ConcurrentImportsTest : public QObject {
    Q_OBJECT

private slots:
    void successesFormAChain();
};

void ConcurrentImportsTest::successesFormAChain() {
    const auto dir = scratchDir();
    const std::string image = dir->filePath(QStringLiteral("game.smc")).toStdString();
    const std::vector<Byte> bytes = makeSyntheticImage(0x80000, 5);
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    QElapsedTimer clock;
    clock.start();
    int rounds = 0, imports = 0;
    while (anotherRound(clock, rounds)) {
        Core start(dir->path().toStdString());
        start.setRomPath(image);
        QVERIFY(start.loadTables().ok());
        const image::TableBytes before = start.tableBytes();
        const int count = 2 + int(QRandomGenerator::global()->bounded(7));
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int amount = 1; amount <= count; ++amount) {
            const QString csv = dir->filePath(QStringLiteral("%1.csv").arg(amount));
            std::ofstream(csv.toStdString())
                << tablesToCsv(moved(before, amount), [](Byte) { return std::string(); });
            processes.push_back(std::make_unique<QProcess>());
            processes.back()->start(TARVON_TABLES, {"import", QString::fromStdString(image), csv});
        }
        // Which import each success replaced: the round's start (0) for one
        // of them, then each success's amount for exactly one other.
        std::map<int, int> successorOf;
        for (int amount = 1; amount <= count; ++amount) {
            QProcess& process = *processes[std::size_t(amount - 1)];
            QVERIFY2(process.waitForFinished(30000), qPrintable(process.errorString()));
            ++imports;
            if (process.exitCode() != 0)
                continue;
            const std::optional<int> source = sourceOf(process.readAllStandardOutput(), amount);
            QVERIFY(source);
            QVERIFY2(successorOf.emplace(*source, amount).second,
                     qPrintable(QStringLiteral("two imports replaced the tables of import %1 in "
                                               "round %2")
                                    .arg(*source)
                                    .arg(rounds)));
        }
        int last = 0;
        while (successorOf.count(last))
            last = successorOf.at(last);
        Core end(dir->path().toStdString());
        end.setRomPath(image);
        QVERIFY(end.loadTables().ok());
        QVERIFY2(end.tableBytes() == moved(before, last), "the image is not the last import's");
        QCOMPARE(successorOf.size(), std::size_t(count));
        ++rounds;
    }
    qInfo("%d rounds, %d imports", rounds, imports);
}

QTEST_GUILESS_MAIN(ConcurrentImportsTest)
#include "tst_concurrent_imports.moc"
