#pragma once

// The windows are laid out in fixed positions for an 8-point dialog font with
// Arial's metrics. Sets that font and the system's style, with a group box's
// title as tall as its text (GroupTitleStyle). Call once after the
// QApplication exists.
void applyDialogLook();
