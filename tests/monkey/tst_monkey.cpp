// Thousands of random user events on both editors of a loaded image: after
// each, the editors' boxes must agree with the data store, and after each save
// the file must differ from the original only by the store's tables.
//
// The run is reproducible: it prints its seed, and TARVON_MONKEY_SEED and
// TARVON_MONKEY_EVENTS repeat or change it; TARVON_MONKEY_TRACE=1 lists every
// event. A failure, or a crash, names the seed and the event.
#include "BackMDI.h"
#include "Core.h"
#include "DamageTableForm.h"
#include "FaultyFileSystem.h"
#include "GuiSupport.h"
#include "Invariants.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"
#include "Monkey.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr quint32 defaultSeed = 20261207;
// About 5 seconds here, and 25 under AddressSanitizer.
constexpr int defaultEvents = 20000;

int environmentNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Names the seed and the event under way when the program dies of a signal,
// so a crash can be repeated; then lets the signal's earlier handler report it.
// Windows' C library has signal() alone, for the exceptions it maps onto
// signals.
class CrashNote {
public:
    CrashNote() {
        for (const int signal : fatalSignals) {
#ifdef Q_OS_WIN
            earlier[index(signal)] = std::signal(signal, &CrashNote::report);
#else
            struct sigaction action = {};
            action.sa_handler = &CrashNote::report;
            sigemptyset(&action.sa_mask);
            sigaction(signal, &action, &earlier[index(signal)]);
#endif
        }
    }
    ~CrashNote() {
        for (const int signal : fatalSignals)
            restore(signal);
    }
    CrashNote(const CrashNote&) = delete;
    CrashNote& operator=(const CrashNote&) = delete;

    static void note(quint32 seed, int event, const QString& what) {
        std::snprintf(message, sizeof message, "\nmonkey seed %u died in event %d: %s\n", seed,
                      event, what.toUtf8().constData());
    }

private:
#ifdef Q_OS_WIN
    static constexpr int fatalSignals[] = {SIGSEGV, SIGABRT, SIGFPE, SIGILL};
    using Handler = void (*)(int);
    static void restore(int signal) {
        std::signal(signal, earlier[index(signal)]);
    }
#else
    static constexpr int fatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
    using Handler = struct sigaction;
    static void restore(int signal) {
        sigaction(signal, &earlier[index(signal)], nullptr);
    }
#endif
    static std::size_t index(int signal) {
        return std::size_t(std::find(std::begin(fatalSignals), std::end(fatalSignals), signal) -
                           std::begin(fatalSignals));
    }
    static void report(int signal) {
        [[maybe_unused]] const auto written =
            write(STDERR_FILENO, message, strnlen(message, sizeof message));
        restore(signal);
        raise(signal);
    }

    static inline char message[1024] = {};
    static inline Handler earlier[std::size(fatalSignals)] = {};
};

// The offscreen platform warns at each raise or keyboard grab of a window;
// thousands of those would hide the run's own messages.
QtMessageHandler programMessages = nullptr;
void dropPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        programMessages(type, context, text);
}

} // namespace

// The program as its user runs it: the main window on a scratch program
// directory, whose image is opened through File, Open. The store's file
// operations are counted, so a save can be told apart from none.
class Session : public MainWindowSession {
public:
    Session() : Session(std::make_shared<FaultyFileSystem>()) {}

    const std::shared_ptr<FaultyFileSystem> files;
    const QByteArray original = dir.imageBytes();

    void openBothEditors();
    long long writes() const { return std::ranges::count(files->calls, "openForWriting"); }

private:
    explicit Session(std::shared_ptr<FaultyFileSystem> files)
        : MainWindowSession(files), files(std::move(files)) {}
};

void Session::openBothEditors() {
    action("DamagePointerEditorMenu")->trigger();
    action("EnemyDamageEditorMenu")->trigger();
}

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void editorCheckSeesFaults_data();
    void editorCheckSeesFaults();
    void imageCheckSeesFaults_data();
    void imageCheckSeesFaults();
    void randomUserEvents();
};

void TestMonkey::initTestCase() {
    useProgramLanguageAndFont();
    programMessages = qInstallMessageHandler(dropPlatformWarnings);
}

enum class EditorFault {
    None,
    HealthBoxShowsAnotherValue,
    DamageBoxShowsAnotherValue,
    BoxEmptiedForRetyping,
    RowBehindAnEmptiedBox,
    EmptyBoxWithoutTheFocus,
};
enum class ImageFault { None, SignatureByte, HealthByte, UnusedDamageTableByte, OneByteShorter };

void TestMonkey::editorCheckSeesFaults_data() {
    QTest::addColumn<EditorFault>("fault");
    QTest::addColumn<bool>("seen");
    QTest::addRow("nothing wrong") << EditorFault::None << false;
    QTest::addRow("health box shows another value")
        << EditorFault::HealthBoxShowsAnotherValue << true;
    QTest::addRow("damage box shows another value")
        << EditorFault::DamageBoxShowsAnotherValue << true;
    QTest::addRow("box emptied for retyping") << EditorFault::BoxEmptiedForRetyping << false;
    QTest::addRow("row changed behind an emptied box")
        << EditorFault::RowBehindAnEmptiedBox << false;
    QTest::addRow("empty box without the focus") << EditorFault::EmptyBoxWithoutTheFocus << true;
}

// The check the random run relies on must see a box that does not show what
// memory holds, and a box left empty while the user is not retyping it.
void TestMonkey::editorCheckSeesFaults() {
    QFETCH(EditorFault, fault);
    QFETCH(bool, seen);
    Session session;
    QVERIFY(session.openImage());
    if (QTest::currentTestFailed())
        return;
    session.openBothEditors();
    Core& core = session.core;
    EditorCheck check;
    QCOMPARE(check.fault(&session.window, core), QString());
    const auto slot = Byte(session.window.findChild<QListWidget*>()->currentRow());
    const DamageRow row = core.getDamageSet(0);
    auto* damage2 = session.window.findChild<DamageTableForm*>()->findChild<QLineEdit*>("Damage2");
    auto* healthBox = session.window.findChild<QLineEdit*>("healthBox");
    if (fault == EditorFault::HealthBoxShowsAnotherValue)
        healthBox->setText(QString::number(Byte(core.getEnemyHealth(slot) + 1)));
    if (fault == EditorFault::DamageBoxShowsAnotherValue)
        damage2->setText(QString::number(Byte(row[1] + 1)));
    if (fault == EditorFault::BoxEmptiedForRetyping ||
        fault == EditorFault::RowBehindAnEmptiedBox) {
        activateWindow(damage2->window());
        damage2->setFocus();
        damage2->clear();
        QVERIFY(damage2->hasFocus());
    }
    if (fault == EditorFault::RowBehindAnEmptiedBox) {
        core.setDamageSet(0, row[0], Byte(row[1] + 1), row[2]);
        QVERIFY(damage2->text().isEmpty());
    }
    if (fault == EditorFault::EmptyBoxWithoutTheFocus) {
        damage2->clear();
        QVERIFY(!damage2->hasFocus());
    }
    QCOMPARE(!check.fault(&session.window, core).isEmpty(), seen);
}

void TestMonkey::imageCheckSeesFaults_data() {
    QTest::addColumn<ImageFault>("fault");
    QTest::addColumn<qsizetype>("offset");
    QTest::addRow("nothing wrong") << ImageFault::None << qsizetype(0);
    QTest::addRow("signature byte changed")
        << ImageFault::SignatureByte << qsizetype(Core::signatureOffset);
    QTest::addRow("health byte not the stored one")
        << ImageFault::HealthByte << qsizetype(Core::enemyHealthOffset + 5);
    QTest::addRow("unused end of the damage table changed")
        << ImageFault::UnusedDamageTableByte << qsizetype(Core::damageTableOffset + 49);
    QTest::addRow("one byte shorter") << ImageFault::OneByteShorter << qsizetype(0);
}

// The check the random run relies on must see every byte a save must not
// write, and every table byte it must.
void TestMonkey::imageCheckSeesFaults() {
    QFETCH(ImageFault, fault);
    QFETCH(qsizetype, offset);
    Session session;
    Core& core = session.core;
    QVERIFY(core.openRom(session.dir.imagePath().toStdString()));
    core.setEnemyHealth(5, Byte(core.getEnemyHealth(5) ^ 0x80));
    core.setDamageSet(2, 1, 2, 3);
    QVERIFY(core.saveRom());
    QByteArray saved = session.dir.imageBytes();
    if (fault == ImageFault::OneByteShorter)
        saved.chop(1);
    else if (fault != ImageFault::None)
        saved[offset] = char(saved[offset] ^ 1);
    QCOMPARE(savedImageFault(session.original, saved, core).isEmpty(), fault == ImageFault::None);
}

void TestMonkey::randomUserEvents() {
    const auto seed = quint32(environmentNumber("TARVON_MONKEY_SEED", int(defaultSeed)));
    const int events = environmentNumber("TARVON_MONKEY_EVENTS", defaultEvents);
    const bool trace = environmentNumber("TARVON_MONKEY_TRACE", 0) != 0;
    qInfo("monkey seed %u, %d events (TARVON_MONKEY_SEED and TARVON_MONKEY_EVENTS repeat or "
          "change the run)",
          seed, events);
    Session session;
    QVERIFY(session.openImage());
    if (QTest::currentTestFailed())
        return;

    // The program shows no message box when all goes well: note any and answer it.
    const ModalAnswerer answerer;

    const CrashNote crashNote;
    Monkey monkey(seed, &session.window);
    EditorCheck check;
    int event = 0;
    monkey.announce = [seed, &event](const QString& what) { CrashNote::note(seed, event, what); };
    int saves = 0;
    QElapsedTimer clock;
    clock.start();
    for (; event < events; ++event) {
        const long long writesBefore = session.writes();
        const QString what = monkey.act();
        if (trace)
            qInfo("%d: %s", event, qPrintable(what));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QString fault = check.fault(&session.window, session.core);
        const bool wrote = session.writes() > writesBefore;
        if (monkey.saved() && !wrote)
            fault = QStringLiteral("Save did not write the image");
        if (wrote) {
            ++saves;
            if (fault.isEmpty())
                fault = savedImageFault(session.original, session.dir.imageBytes(), session.core);
        }
        if (!answerer.boxes.isEmpty())
            fault = QStringLiteral("a message came up: ") + answerer.boxes.first().text;
        if (!answerer.unexpected.isEmpty())
            fault = QStringLiteral("a window came up: ") + answerer.unexpected.first();
        if (!fault.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, event %2 (%3): %4")
                                 .arg(seed)
                                 .arg(event)
                                 .arg(what, fault)));
    }
    qInfo("%d events, %d saves, in %lld ms", events, saves, clock.elapsed());
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
