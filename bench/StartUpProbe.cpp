// Loaded into the real program with LD_PRELOAD by the start-up benchmark.
// Once the first window has been exposed and painted, it writes the program's
// peak memory so far (VmHWM, in KiB) to the descriptor named by
// TARVON_PROBE_FD and ends the program at once.
//
// With TARVON_PROBE_IMAGE set, it first works the window as a user does: it
// drops that image on the window, answers the load's message box with OK,
// opens the enemy editor from the Tools menu and steps its list down
// stepCount times. The report then also holds the microseconds the editor
// took to open and show, and the mean of one list step until painted:
// "PEAK OPEN STEP".
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <unistd.h>

namespace {

constexpr int stepCount = 100;

QByteArray peakKiB() {
    QByteArray peak = "0";
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0);
        }
    }
    return peak;
}

[[noreturn]] void report(const QByteArray& figures) {
    const int descriptor = qEnvironmentVariableIntValue("TARVON_PROBE_FD");
    [[maybe_unused]] const auto written = write(descriptor, figures.data(), size_t(figures.size()));
    _exit(0);
}

QWidget* mainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("BackMDI"))
            return widget;
    return nullptr;
}

template <typename Child> Child* findIn(QWidget* window, const char* name) {
    return window ? window->findChild<Child*>(QLatin1String(name)) : nullptr;
}

// Lets every posted event run, the paint of the changed windows included.
void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Drops `image` on `window` as a file manager does; the window opens it from
// its event loop.
void dropImage(QWidget* window, const QString& image) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(image)});
    const QPointF centre = QPointF(window->rect().center());
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

// Opens the enemy editor and steps its list; the timings in microseconds.
QByteArray openEnemyEditorAndStep(QWidget* window) {
    QAction* editorItem = findIn<QAction>(window, "DamagePointerEditorMenu");
    if (!editorItem || !editorItem->isEnabled())
        return "0 0";
    QElapsedTimer timer;
    timer.start();
    editorItem->trigger();
    settle();
    const qint64 openMicroseconds = timer.nsecsElapsed() / 1000;
    auto* list = findIn<QListWidget>(window, "ListOfEnemy");
    if (!list)
        return "0 0";
    timer.restart();
    for (int step = 0; step < stepCount; ++step) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &release);
        settle();
    }
    const qint64 stepMicroseconds = timer.nsecsElapsed() / 1000 / stepCount;
    return QByteArray::number(openMicroseconds) + ' ' + QByteArray::number(stepMicroseconds);
}

// Answers the load's message box, if one comes, with OK; then edits.
void workWithImage(const QString& image) {
    QWidget* window = mainWindow();
    if (!window)
        report("0 0 0");
    auto* answer = new QTimer(qApp);
    QObject::connect(answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    answer->start(10);
    dropImage(window, image);
    settle(); // opens the image; a message box waits in its own loop until answered
    answer->stop();
    const QByteArray timings = openEnemyEditorAndStep(window);
    report(peakKiB() + ' ' + timings);
}

class FirstExposure : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType() &&
            static_cast<QWindow*>(watched)->isExposed()) {
            // Reported from the event loop, after the window has painted.
            QTimer::singleShot(0, [] {
                const QString image = qEnvironmentVariable("TARVON_PROBE_IMAGE");
                if (image.isEmpty())
                    report(peakKiB());
                workWithImage(image);
            });
            qApp->removeEventFilter(this);
        }
        return false;
    }
};

void watchForFirstExposure() {
    qApp->installEventFilter(new FirstExposure(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForFirstExposure)
