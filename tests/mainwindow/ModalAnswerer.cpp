#include "ModalAnswerer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
void typeIntoFileDialog(QFileDialog* dialog, const QString& path) {
    auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!nameBox || !buttons) {
        dialog->reject();
        return;
    }
    nameBox->clear();
    QTest::keyClicks(nameBox, path);
    if (QCompleter* completer = nameBox->completer())
        completer->popup()->hide();
    buttons->button(QDialogButtonBox::Open)->click();
}

void cancelFileDialog(QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (buttons)
        buttons->button(QDialogButtonBox::Cancel)->click();
    else
        dialog->reject();
}
} // namespace

ModalAnswerer::ModalAnswerer(QStringList paths) : paths(std::move(paths)) {
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::answer);
    timer.start();
}

void ModalAnswerer::answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        boxes.append({box->windowTitle(), box->text(), box->icon(), box->textFormat(),
                      box->standardButtons()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->close();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        fileDialogs.append({dialog->directory().absolutePath(), dialog->selectedFiles()});
        const QString path = paths.isEmpty() ? QString() : paths.takeFirst();
        if (path.isEmpty())
            cancelFileDialog(dialog);
        else
            typeIntoFileDialog(dialog, path);
        // A name the dialog refuses leaves it up: give up rather than wait.
        if (dialog->isVisible())
            cancelFileDialog(dialog);
    } else {
        unexpected.append(modal->objectName());
        modal->close();
    }
}
