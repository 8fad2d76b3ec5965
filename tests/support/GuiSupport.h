#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class QFileDialog;
class QWidget;

// Uses the editor's language and font, as the program does at start, and
// returns the language's code.
QString useProgramLanguageAndFont();

// Why texts in the program's font cannot be measured here as the system
// draws them, or nothing: under Wine, Qt finds no face for Windows' dialog
// font, which Windows draws in the face its font substitutes name.
QString unmeasurableFont();

// The characters of `text` that neither `font` nor a font the system falls
// back to can show.
QString uncoveredCharacters(const QFont& font, const QString& text);

// Chooses `path` in an Open dialog that is up, as a user does who enters the
// path and presses Open. The dialog lists folders in the background and, when
// a listing arrives, may put back the name it had selected before; the path is
// entered again until the dialog takes exactly it. Returns whether the dialog
// accepted it within `timeoutMs`.
bool chooseFileInDialog(QFileDialog* dialog, const QString& path, int timeoutMs = 5000);

// Makes `window` itself the active window, as a user's click on it does.
// Offscreen, a dialog answered at once can become active after it has closed,
// since its activation arrives late, and QTest counts a window active while
// one of its dialogs is; this waits for the window itself.
bool activateWindow(QWidget* window, int timeoutMs = 5000);

// A scratch program directory with names.cfg and a synthetic image.
class ScratchProgramDir {
public:
    ScratchProgramDir();
    QString path() const { return dir.path(); }
    QString imagePath() const { return dir.filePath("game.smc"); }
    // Writes `bytes` as a file in the directory and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray imageBytes() const;

private:
    QTemporaryDir dir;
};

QByteArray syntheticImage(qsizetype size = 0x100000, quint32 seed = 1);
QByteArray readFileBytes(const QString& path);
