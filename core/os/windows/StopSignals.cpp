#include "StopSignals.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <windows.h>

namespace {

// Ctrl+C, Ctrl+Break and the console closing come on a thread of their own,
// which waits here while a holder lives, then lets the system's own handler
// end the program, unless the stop was discarded meanwhile.
struct Holders {
    std::mutex mutex;
    std::condition_variable released;
    int count = 0;
    bool stopCame = false;
    bool discarded = false;
};

Holders& holders() {
    static Holders shared;
    return shared;
}

BOOL WINAPI waitForHolders(DWORD event) {
    Holders& held = holders();
    std::unique_lock lock(held.mutex);
    if (held.count == 0)
        return FALSE;
    held.stopCame = true;
    held.released.wait(lock, [&] { return held.count == 0; });
    const bool spent = std::exchange(held.discarded, false);
    held.stopCame = false;
    // The console closing, a log-off or shutdown end the program whatever
    // the handler says; a discarded Ctrl+C or Ctrl+Break ends nothing.
    return spent && (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT);
}

} // namespace

std::span<const int> stopSignalNumbers() {
    return {};
}

void discardPendingStopSignals() {
    Holders& held = holders();
    const std::lock_guard lock(held.mutex);
    held.discarded = held.stopCame;
}

void ignoreFileSizeSignal() {}

StopSignalsHeld::StopSignalsHeld() {
    static const bool installed = SetConsoleCtrlHandler(waitForHolders, TRUE);
    (void)installed;
    Holders& held = holders();
    const std::lock_guard lock(held.mutex);
    ++held.count;
}

StopSignalsHeld::~StopSignalsHeld() {
    Holders& held = holders();
    {
        const std::lock_guard lock(held.mutex);
        --held.count;
    }
    held.released.notify_all();
}
