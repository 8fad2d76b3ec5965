// What the store asks of a file system, checked against every implementation
// it runs on: the system's own (POSIX or Windows, whichever this build is
// for), the tests' faulty one with no fault injected, and the fuzzers' one in
// memory. Each keeps its one image file of `imageBytes`.
#include "FaultyFileSystem.h"
#include "MemoryFileSystem.h"

#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;
using Handle = FileSystem::Handle;

const Bytes imageBytes = [] {
    Bytes bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7 + 3);
    return bytes;
}();

// A file system holding the image at `path`; `onDisk` says whether the
// system's own files lie under it.
struct Implementation {
    std::function<std::shared_ptr<FileSystem>(const std::string& path)> make;
    bool onDisk;
};

const std::map<QString, Implementation>& implementations() {
    static const std::map<QString, Implementation> all{
        {QStringLiteral("system"), {[](const std::string&) { return realFileSystem(); }, true}},
        {QStringLiteral("faulty"),
         {[](const std::string&) { return std::make_shared<FaultyFileSystem>(); }, true}},
        {QStringLiteral("memory"),
         {[](const std::string& path) {
              return std::make_shared<MemoryFileSystem>(path, MemoryFile(imageBytes));
          },
          false}},
    };
    return all;
}

void addImplementationRows() {
    QTest::addColumn<QString>("implementation");
    for (const auto& [name, implementation] : implementations())
        QTest::newRow(qPrintable(name)) << name;
}

} // namespace

class FileSystemContractTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void openedFileReadsAndWritesInPlace_data() { addImplementationRows(); }
    void openedFileReadsAndWritesInPlace();
    void lockKeepsOutLockersOnly();
    void nonAsciiNamesWork();
    void fileHeldUnsharedIsAFact();

private:
    // The implementation of the current row, over the image at imagePath().
    std::shared_ptr<FileSystem> fileSystem();
    std::string imagePath() const {
        return dir->filePath(QStringLiteral("game.smc")).toStdString();
    }

    std::unique_ptr<QTemporaryDir> dir;
};

void FileSystemContractTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    std::ofstream(pathOfUtf8(imagePath()), std::ios::binary)
        .write(reinterpret_cast<const char*>(imageBytes.data()),
               std::streamsize(imageBytes.size()));
}

std::shared_ptr<FileSystem> FileSystemContractTest::fileSystem() {
    QFETCH(QString, implementation);
    return implementations().at(implementation).make(imagePath());
}

// The store's one use: status, a read, a write in place, a flush, the same
// file at the path after it, no byte moved but those written.
void FileSystemContractTest::openedFileReadsAndWritesInPlace() {
    const auto files = fileSystem();
    Handle handle{};
    QCOMPARE(files->openForWriting(imagePath(), handle), std::string());
    bool busy = true;
    QCOMPARE(files->tryLock(handle, FileSystem::LockKind::Exclusive, busy), std::string());
    QVERIFY(!busy);
    FileStatus opened, atPath;
    QCOMPARE(files->status(handle, opened), std::string());
    QCOMPARE(opened.size, imageBytes.size());
    const Bytes written{0xAA, 0xBB, 0xCC};
    std::size_t count = 0;
    QCOMPARE(files->writeAt(handle, 100, written, count), std::string());
    QCOMPARE(count, written.size());
    QCOMPARE(files->flush(handle), std::string());
    Bytes read(8);
    QCOMPARE(files->readAt(handle, 98, read), std::string());
    QCOMPARE(read, (Bytes{imageBytes[98], imageBytes[99], 0xAA, 0xBB, 0xCC, imageBytes[103],
                          imageBytes[104], imageBytes[105]}));
    Bytes pastTheEnd(8);
    QVERIFY(!files->readAt(handle, imageBytes.size() - 4, pastTheEnd).empty());
    QCOMPARE(files->statusAt(imagePath(), atPath), std::string());
    QVERIFY(atPath.isSameFileAs(opened));
    QCOMPARE(atPath.size, imageBytes.size());
    QCOMPARE(files->close(handle), std::string());
    QVERIFY(!files->isMissing(imagePath()));
}

// A second open file of this same process, as the editor's load opens one
// while its held lock lives on another: it reads whatever lock the first
// holds, as an emulator that takes no lock must, and its own lock is refused.
void FileSystemContractTest::lockKeepsOutLockersOnly() {
    const auto files = realFileSystem();
    Handle holder{}, reader{};
    QCOMPARE(files->openForWriting(imagePath(), holder), std::string());
    bool busy = true;
    QCOMPARE(files->tryLock(holder, FileSystem::LockKind::Exclusive, busy), std::string());
    QVERIFY(!busy);
    QCOMPARE(files->openForReading(imagePath(), reader), std::string());
    Bytes read(16);
    QCOMPARE(files->readAt(reader, 0, read), std::string());
    QCOMPARE(read, Bytes(imageBytes.begin(), imageBytes.begin() + 16));
    QCOMPARE(files->tryLock(reader, FileSystem::LockKind::Shared, busy), std::string());
    QVERIFY(busy);
    files->close(holder);
    QCOMPARE(files->tryLock(reader, FileSystem::LockKind::Shared, busy), std::string());
    QVERIFY(!busy);
    files->close(reader);
}

// UTF-8 inside, the system's own names outside: a file of a name in three
// scripts is found, read and renamed.
void FileSystemContractTest::nonAsciiNamesWork() {
    const auto files = realFileSystem();
    const std::string name =
        dir->filePath(QStringLiteral(u"Dr\u00E4gon \u30C9\u30E9\u30B4\u30F3 \u0394.smc"))
            .toStdString();
    QCOMPARE(files->rename(imagePath(), name), std::string());
    QVERIFY(QFile::exists(QString::fromStdString(name)));
    FileStatus status;
    QCOMPARE(files->statusAt(name, status), std::string());
    QCOMPARE(status.size, imageBytes.size());
    std::string contents;
    QCOMPARE(files->readAll(name, contents), std::string());
    QCOMPARE(contents.size(), imageBytes.size());
}

// Another program that opened the image without sharing it: the system's
// reason, not a crash or a wait.
void FileSystemContractTest::fileHeldUnsharedIsAFact() {
#ifdef Q_OS_WIN
    const std::wstring path = pathOfUtf8(imagePath()).wstring();
    const HANDLE unshared = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    QVERIFY(unshared != INVALID_HANDLE_VALUE);
    Handle handle{};
    const std::string reason = realFileSystem()->openForReading(imagePath(), handle);
    CloseHandle(unshared);
    QVERIFY2(!reason.empty(), "the unshared file opened");
    qInfo("%s", reason.c_str());
#else
    QSKIP("POSIX files have no share modes: another program cannot keep this one out");
#endif
}

QTEST_GUILESS_MAIN(FileSystemContractTest)
#include "tst_file_system_contract.moc"
