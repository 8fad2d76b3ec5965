#pragma once

#include <span>

// What asks a program to stop: on POSIX the signals SIGINT (Ctrl+C), SIGTERM
// (kill), SIGHUP (a closed terminal) and SIGQUIT; on Windows Ctrl+C,
// Ctrl+Break and the console closing.

// The numbers of the POSIX stop signals; none on Windows.
std::span<const int> stopSignalNumbers();

// Takes back the stops that came while they were held, so that they end
// nothing. Only a holder calls it.
void discardPendingStopSignals();

// Called first in main: a write over the file size limit then fails with
// EFBIG, and the save puts back what landed, instead of SIGXFSZ killing the
// program between its writes. Nothing on Windows, which has no such limit.
void ignoreFileSizeSignal();

// While one lives, a stop waits, so that a write that has begun ends whole,
// or is undone, before it acts. One that came in the meantime takes effect
// when the last holder goes. Holders may nest.
class StopSignalsHeld {
public:
    StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
    ~StopSignalsHeld();
};
