#include "ImageFileDialogs.h"

#include "QtText.h"
#include "WindowQuestions.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace {
// Room for the file details at their widest, and for the places' icons.
constexpr QSize fileDialogSize{780, 420};
constexpr int placeIconRoom = 40;
constexpr int columnPadding = 20;
// The widest size and date the dialog's details show.
constexpr qint64 widestFileSize = 1023.99 * 1024 * 1024;
const QDateTime widestDate(QDate(2026, 9, 30), QTime(23, 59, 59));
} // namespace

// The two layouts' filters and "All Files"; "All Files" uses "*" because
// Qt's "*.*" would hide names without a dot.
QStringList ImageFileDialogs::nameFilters() const {
    return {tr("Velko 3 Rom (*.smc)"), tr("Velko 3 Rom without header (*.sfc)"),
            tr("All Files (*)")};
}

// Qt's own dialogs, not the desktop's, so they look and work the same
// everywhere.
QString ImageFileDialogs::chooseImage(QWidget& parent, WindowQuestions& questions) {
    const QString startDir =
        chosenFile.isEmpty() ? programDir : QFileInfo(chosenFile).absolutePath();
    QFileDialog ComD(&parent, tr("Load File"), startDir);
    ComD.setObjectName(QStringLiteral("ComD"));
    ComD.setOption(QFileDialog::DontUseNativeDialog);
    ComD.setFileMode(QFileDialog::ExistingFile);
    ComD.setAcceptMode(QFileDialog::AcceptOpen);
    ComD.setNameFilters(nameFilters());
    if (!chosenFile.isEmpty())
        ComD.selectFile(chosenFile);
    showFileDetailsUnclipped(ComD);
    if (questions.ask(ComD) != QDialog::Accepted)
        return {};
    return ComD.selectedFiles().value(0);
}

QString ImageFileDialogs::chooseNewFile(QWidget& parent, WindowQuestions& questions,
                                        const QString& imagePath, places::Layout layout) {
    QFileDialog dialog(&parent, tr("Save As"), QFileInfo(imagePath).absolutePath());
    dialog.setObjectName(QStringLiteral("SaveAsDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(nameFilters());
    dialog.selectNameFilter(nameFilters().value(layout == places::Layout::Headerless ? 1 : 0));
    showFileDetailsUnclipped(dialog);
    if (questions.ask(dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

// Qt's dialog sizes its columns and places list for short English words, which
// cuts off file types, dates and "Computer": give them the room they need, for
// the widest details as Qt words and formats them in the user's language and
// locale, and for the column's heading.
void ImageFileDialogs::showFileDetailsUnclipped(QFileDialog& dialog) {
    const QFontMetrics metrics = dialog.fontMetrics();
    auto roomFor = [&metrics](const QString& sample) {
        return metrics.horizontalAdvance(sample) + columnPadding;
    };
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QLocale locale = QLocale::system();
        const QStringList widestDetails = {
            QString(24, QLatin1Char('w')), locale.formattedDataSize(widestFileSize),
            QMimeDatabase()
                .mimeTypeForFile(QStringLiteral("image.smc"), QMimeDatabase::MatchExtension)
                .comment(),
            locale.toString(widestDate, QLocale::ShortFormat)};
        QHeaderView* header = details->header();
        for (int column = 0; column < widestDetails.size(); ++column) {
            const QString heading = header->model()->headerData(column, Qt::Horizontal).toString();
            header->resizeSection(column,
                                  std::max(roomFor(widestDetails[column]), roomFor(heading)));
        }
    }
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({roomFor(qtText("QFileSystemModel", "Computer")) + placeIconRoom,
                            fileDialogSize.width()});
    dialog.resize(dialog.sizeHint().expandedTo(fileDialogSize));
}
