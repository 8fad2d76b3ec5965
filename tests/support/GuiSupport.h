#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>

class QWidget;

// Uses the editor's font, as the program does at start.
void useProgramFont();

// Runs `answer` on the next modal widget (dialog or message box) once it is
// up; fails the current test if none appears within `timeoutMs`.
void answerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000);

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
