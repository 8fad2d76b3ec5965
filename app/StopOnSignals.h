#pragma once

#include <csignal>

class BackMDI;

// A request to stop (Ctrl+C in the terminal, kill, a closed terminal, the
// session ending) ends the program through its event loop without waiting for
// a person: a save that is writing finishes first, a question on screen is
// dismissed, and unsaved edits are discarded, and said so on standard error.
// The program exits 128 + the signal's number. `stopSet` must be blocked in
// every thread before Qt starts one, so that the signals arrive here and
// nowhere else.
void stopOnSignals(const sigset_t& stopSet, BackMDI& window);
