#pragma once

#include <QCoreApplication>
#include <QString>

class QFileDialog;
class QWidget;
class WindowQuestions;

// The Open dialog `ComD`, made anew at each Open so that it lists the folder
// as it is now and none of its popups outlives it. The first one starts in
// the program's folder, later ones in the folder of the file chosen last,
// with that file selected.
class OpenImageDialog {
    Q_DECLARE_TR_FUNCTIONS(OpenImageDialog)

public:
    explicit OpenImageDialog(const QString& programDir) : programDir(programDir) {}

    // The chosen file; empty when cancelled.
    QString choose(QWidget& parent, WindowQuestions& questions);
    // The next dialog starts from `fileName`.
    void remember(const QString& fileName) { chosenFile = fileName; }

private:
    static void showFileDetailsUnclipped(QFileDialog& dialog);

    const QString programDir;
    QString chosenFile;
};
