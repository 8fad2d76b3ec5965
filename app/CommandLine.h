#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class BackMDI;
class QTextStream;

// What the editor's command line asks for: `tarvon-addons [IMAGE]`.
struct CommandLine {
    // The image to open once the window is up, as an absolute path; empty for
    // none.
    QString image;
    // Set when the program ends at once, without a window, with this status:
    // after --help, --version or a usage error.
    std::optional<int> exitStatus;
};

// Reads the words after the program's name, before QApplication exists, so
// that --help and --version need no display. Qt's own options (-platform,
// -style, ...) are passed over: QApplication takes them from argv itself.
// Help and the version go to `out`; a usage error goes to `err` in
// tarvon-tables' words and ends the program with status 2.
CommandLine readCommandLine(const QStringList& words, QTextStream& out, QTextStream& err);
// The same for the program's own arguments, with standard output and error.
CommandLine readCommandLine(int argc, char** argv);

// Opens `image` as File > Open would, once the shown window is on the
// screen, so that any message about the file opens over it; nothing when it
// is empty.
void openWhenShown(BackMDI& window, const QString& image);
