#include "StopOnSignals.h"

#include "BackMDI.h"
#include "StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
sigset_t stopSet() {
    sigset_t stop;
    sigemptyset(&stop);
    for (const int signal : stopSignalNumbers())
        sigaddset(&stop, signal);
    return stop;
}

void stopBySignal(BackMDI& window, int signalNumber) {
    window.stopAsking();
    if (window.hasUnsavedEdits())
        std::fprintf(stderr, "tarvon-addons: stopped by signal %d; unsaved edits were discarded\n",
                     signalNumber);
    QCoreApplication::exit(128 + signalNumber);
}
} // namespace

void holdStopSignals() {
    const sigset_t stop = stopSet();
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
}

void stopOnSignals(BackMDI& window) {
    const sigset_t stop = stopSet();
    const int descriptor = signalfd(-1, &stop, SFD_CLOEXEC | SFD_NONBLOCK);
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
