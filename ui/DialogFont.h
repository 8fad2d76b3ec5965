#pragma once

// The windows are laid out in fixed positions for an 8-point dialog font with
// Arial's metrics. Call once after the QApplication exists.
void applyDialogFont();
