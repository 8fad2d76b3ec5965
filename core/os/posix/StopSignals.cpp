#include "StopSignals.h"

#include <array>
#include <csignal>

namespace {

constexpr std::array stopSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t stopSet() {
    sigset_t stop;
    sigemptyset(&stop);
    for (const int signal : stopSignals)
        sigaddset(&stop, signal);
    return stop;
}

// The mask before the outermost holder, and how many hold now: the store
// and the tool hold from one thread.
thread_local sigset_t maskBefore;
thread_local int holders = 0;

} // namespace

std::span<const int> stopSignalNumbers() {
    return stopSignals;
}

void discardPendingStopSignals() {
    const sigset_t stop = stopSet();
    const timespec now{};
    while (sigtimedwait(&stop, nullptr, &now) > 0) {
    }
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

StopSignalsHeld::StopSignalsHeld() {
    if (holders++ > 0)
        return;
    const sigset_t stop = stopSet();
    sigprocmask(SIG_BLOCK, &stop, &maskBefore);
}

StopSignalsHeld::~StopSignalsHeld() {
    if (--holders == 0)
        sigprocmask(SIG_SETMASK, &maskBefore, nullptr);
}
