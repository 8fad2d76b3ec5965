// The editor's command line: how each one ends, where its text goes, and what
// the window does with the image it names.
#include "CommandLine.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QTextStream>

namespace {
// Where a run's text went.
enum class Stream { None, Out, Err };

// Marks a row whose program keeps its window up.
constexpr int windowUp = -1;

struct Run {
    int status = -2; // -1 for a crash, such as Qt's abort without a display
    QString out, err;
};

// Runs the built program as in a terminal without a display: without one, a
// program that made its application object would be stopped by Qt.
Run runWithoutDisplay(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARVON_ADDONS), arguments);
    Run run;
    if (!process.waitForFinished(10000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
#ifdef Q_OS_WIN
    // Windows' C library writes text with CR LF.
    run.out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    run.err.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
    return run;
}

// Reads `arguments` in the scratch folder, as the program started there would.
Run readIn(MainWindowSession& session, QStringList arguments, CommandLine& line) {
    for (QString& word : arguments)
        word.replace(QLatin1String("{dir}"), session.dir.path());
    // Back after, as Windows removes no folder that is a program's current one.
    const QString before = QDir::currentPath();
    QDir::setCurrent(session.dir.path());
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    line = readCommandLine(arguments, out, err);
    QDir::setCurrent(before);
    run.status = line.exitStatus.value_or(windowUp);
    return run;
}
} // namespace

Q_DECLARE_METATYPE(Stream)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
};

void CommandLineTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status"); // windowUp: the program runs on
    QTest::addColumn<Stream>("stream");
    // What the stream starts with; for a running program, what its one
    // message box says, in part; {dir} is the folder the program starts in.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("loaded");

    const QString usage = "usage: tarvon-addons [IMAGE]\nTry 'tarvon-addons --help' for more.\n";
    const QString version = "tarvon-addons " TARVON_VERSION "\n";
    QTest::addRow("an image") << QStringList{"{dir}/game.smc"} << windowUp << Stream::None << ""
                              << true;
    QTest::addRow("a relative path")
        << QStringList{"game.smc"} << windowUp << Stream::None << "" << true;
    QTest::addRow("Qt's option and its value")
        << QStringList{"-style", "fusion", "game.smc"} << windowUp << Stream::None << "" << true;
    QTest::addRow("a wrong file") << QStringList{"wrong.smc"} << windowUp << Stream::None
                                  << "This is not velko 3 rom" << false;
    QTest::addRow("a missing file, named as Open names it")
        << QStringList{"nothere.smc"} << windowUp << Stream::None << "\"{dir}/nothere.smc\""
        << false;
    QTest::addRow("--help without a display")
        << QStringList{"--help"} << 0 << Stream::Out << "usage: tarvon-addons [IMAGE]\n\n"
        << false;
    QTest::addRow("--version without a display")
        << QStringList{"--version"} << 0 << Stream::Out << version << false;
    QTest::addRow("an unknown option")
        << QStringList{"--frobnicate", "game.smc"} << 2 << Stream::Err
        << "tarvon-addons: unknown option '--frobnicate'\n" + usage << false;
    QTest::addRow("a short option") << QStringList{"-h"} << 2 << Stream::Err
                                    << "tarvon-addons: unknown option '-h'\n" + usage << false;
    QTest::addRow("Qt's option without its value")
        << QStringList{"-style"} << 2 << Stream::Err
        << "tarvon-addons: missing value after '-style'\n" + usage << false;
    QTest::addRow("two images") << QStringList{"game.smc", "wrong.smc"} << 2 << Stream::Err
                                << "tarvon-addons: unexpected argument 'wrong.smc'\n" + usage
                                << false;
}

void CommandLineTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(Stream, stream);
    QFETCH(QString, text);
    QFETCH(bool, loaded);

    if (status != windowUp) {
        const Run run = runWithoutDisplay(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2((stream == Stream::Out ? run.out : run.err).startsWith(text),
                 qPrintable(run.out + run.err));
        QVERIFY((stream == Stream::Out ? run.err : run.out).isEmpty());
        return;
    }
    MainWindowSession session;
    session.dir.writeFile("wrong.smc", QByteArray(0x100000, '\0'));
    CommandLine line;
    const Run run = readIn(session, arguments, line);
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty() && run.err.isEmpty());
    const ModalAnswerer answerer;
    openWhenShown(session.window, line.image);
    QTRY_VERIFY(session.imageMenusOn() || !answerer.boxes.isEmpty());
    QCOMPARE(session.imageMenusOn(), loaded);
    QCOMPARE(session.startMenusOn(), !loaded);
    QCOMPARE(answerer.boxes.size(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty()) {
        QCOMPARE(answerer.boxes.first().title, "Error");
        QVERIFY2(answerer.boxes.first().text.contains(
                     QString(text).replace("{dir}", session.dir.path())),
                 qPrintable(answerer.boxes.first().text));
    }
}

QTEST_MAIN(CommandLineTest)
#include "tst_command_line.moc"
