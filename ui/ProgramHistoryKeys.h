#pragma once

class QLineEdit;

// Makes a text field of the editors use the program's edit history instead of
// its own: the Undo and Redo keys (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y) pass through
// it to the Edit menu, and its context menu offers the Edit menu's Undo and
// Redo in place of its own.
void useProgramHistory(QLineEdit* edit);
