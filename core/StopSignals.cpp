#include "StopSignals.h"

#include <initializer_list>

sigset_t stopSignals() {
    sigset_t stop;
    sigemptyset(&stop);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&stop, signal);
    return stop;
}

void discardPendingStopSignals() {
    const sigset_t stop = stopSignals();
    const timespec now{};
    while (sigtimedwait(&stop, nullptr, &now) > 0) {
    }
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

StopSignalsHeld::StopSignalsHeld() {
    const sigset_t stop = stopSignals();
    sigprocmask(SIG_BLOCK, &stop, &previous);
}

StopSignalsHeld::~StopSignalsHeld() {
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}
