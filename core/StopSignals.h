#pragma once

#include <csignal>

// The signals that ask a program to stop: SIGINT (Ctrl+C), SIGTERM (kill),
// SIGHUP (a closed terminal) and SIGQUIT.
sigset_t stopSignals();

// Takes back the stop signals that arrived while they were held, so that
// they end nothing. Only a holder calls it.
void discardPendingStopSignals();

// Called first in main: a write over the file size limit then fails with
// EFBIG, and the save puts back what landed, instead of SIGXFSZ killing the
// program between its writes.
void ignoreFileSizeSignal();

// While one lives, the stop signals wait in this thread, so that a write that
// has begun ends whole, or is undone, before they act. One that came in the
// meantime takes effect when it goes.
class StopSignalsHeld {
public:
    StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
    ~StopSignalsHeld();

private:
    sigset_t previous;
};
