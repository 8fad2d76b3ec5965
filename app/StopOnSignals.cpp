#include "StopOnSignals.h"

#include "BackMDI.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
void stopBySignal(BackMDI& window, int signalNumber) {
    window.stopAsking();
    if (window.hasUnsavedEdits())
        std::fprintf(stderr, "tarvon-addons: stopped by signal %d; unsaved edits were discarded\n",
                     signalNumber);
    QCoreApplication::exit(128 + signalNumber);
}
} // namespace

void stopOnSignals(const sigset_t& stopSet, BackMDI& window) {
    const int descriptor = signalfd(-1, &stopSet, SFD_CLOEXEC | SFD_NONBLOCK);
    if (descriptor < 0)
        return;
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [descriptor, &window] {
        signalfd_siginfo received{};
        if (read(descriptor, &received, sizeof received) != sizeof received)
            return;
        stopBySignal(window, int(received.ssi_signo));
    });
}
