#pragma once

#include "TablePlaces.h"

#include <QCoreApplication>
#include <QString>

class QFileDialog;
class QWidget;
class WindowQuestions;

// The Open dialog `ComD` and the Save As dialog, Qt's own, each made anew at
// each use so that it lists the folder as it is now and none of its popups
// outlives it. The first Open starts in the program's folder, later ones in
// the folder of the file chosen last, with that file selected; Save As starts
// in the folder of the image being edited, with no name typed for the person,
// so that the listing, as it comes in, never changes what they type.
class ImageFileDialogs {
    Q_DECLARE_TR_FUNCTIONS(ImageFileDialogs)

public:
    explicit ImageFileDialogs(const QString& programDir) : programDir(programDir) {}

    // The chosen file; empty when cancelled.
    QString chooseImage(QWidget& parent, WindowQuestions& questions);
    // The next Open starts from `fileName`.
    void remember(const QString& fileName) { chosenFile = fileName; }
    // The new file's name, after Qt's own question when it exists already;
    // empty when cancelled.
    QString chooseNewFile(QWidget& parent, WindowQuestions& questions, const QString& imagePath,
                          places::Layout layout);

private:
    QStringList nameFilters() const;
    static void showFileDetailsUnclipped(QFileDialog& dialog);

    const QString programDir;
    QString chosenFile;
};
