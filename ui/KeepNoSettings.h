#pragma once

// The program keeps no settings and writes no file but the image. Qt's file
// dialog would keep its history and column widths in the user's settings
// (a file on Linux, the registry on Windows); they are pointed at a file
// where none can be created, so the dialog starts the same every run.
void keepNoSettings();
