#pragma once

class BackMDI;

// Called first in main, before Qt starts a thread: on POSIX the stop signals
// are then held in every thread, to arrive through stopOnSignals alone.
void holdStopSignals();

// A request to stop ends the program through its event loop without waiting
// for a person. On POSIX that is a stop signal (Ctrl+C in the terminal,
// kill, a closed terminal, the session ending): a save that is writing
// finishes first, a question on screen is dismissed, and unsaved edits are
// discarded, and said so on standard error; the program exits 128 + the
// signal's number. On Windows, where a log-off or shutdown lets a program
// ask, unsaved edits get the closing question, and its Cancel keeps the
// session going; a save runs to its end before the question can come.
void stopOnSignals(BackMDI& window);
