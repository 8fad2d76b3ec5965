// Loaded into the real program with LD_PRELOAD by the start-up benchmark.
// Once the first window has been exposed and painted, it writes the program's
// peak memory so far (VmHWM, in KiB) to the descriptor named by
// TARVON_PROBE_FD and ends the program at once.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <unistd.h>

namespace {

class FirstExposure : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType() &&
            static_cast<QWindow*>(watched)->isExposed()) {
            // Reported from the event loop, after the window has painted.
            QTimer::singleShot(0, &report);
            qApp->removeEventFilter(this);
        }
        return false;
    }

private:
    static void report() {
        QByteArray peakKiB = "0";
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmHWM:"))
                    peakKiB = line.mid(6).trimmed().split(' ').value(0);
            }
        }
        const int descriptor = qEnvironmentVariableIntValue("TARVON_PROBE_FD");
        [[maybe_unused]] const auto written =
            write(descriptor, peakKiB.data(), size_t(peakKiB.size()));
        _exit(0);
    }
};

void watchForFirstExposure() {
    qApp->installEventFilter(new FirstExposure(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForFirstExposure)
