#include "ModalAnswerer.h"

#include "GuiSupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMetaEnum>
#include <QPushButton>
#include <QTest>

namespace {
// A standard button's role ("Save"), else the button's objectName.
QString nameOf(const QMessageBox* box, QAbstractButton* button) {
    if (!button)
        return {};
    if (const QMessageBox::StandardButton role = box->standardButton(button);
        role != QMessageBox::NoButton)
        return QLatin1String(QMetaEnum::fromType<QMessageBox::StandardButtons>().valueToKey(role));
    return button->objectName();
}

void cancelFileDialog(QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (buttons)
        buttons->button(QDialogButtonBox::Cancel)->click();
    else
        dialog->reject();
}
} // namespace

ModalAnswerer::ModalAnswerer(QStringList paths, std::function<void(QWidget*)> answerOther)
    : paths(std::move(paths)), answerOther(std::move(answerOther)) {
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::answer);
    timer.start();
}

// Choosing a file waits for the dialog, and another window's answer may wait
// too: the same window must not be answered twice, while a question it asks
// meanwhile (Qt's own, before replacing a file) is answered as any other, by
// a timer of its own (Qt never fires a timer inside its own handler).
void ModalAnswerer::answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || answering.contains(modal))
        return;
    answering.append(modal);
    QTimer meanwhile;
    meanwhile.setInterval(timer.interval());
    connect(&meanwhile, &QTimer::timeout, this, &ModalAnswerer::answer);
    meanwhile.start();
    answerActiveModal(modal);
    answering.removeAll(modal);
}

// Records the box and presses the button named first in `buttonsToPress`,
// else OK, else closes it (its Escape answer).
void ModalAnswerer::answerBox(QMessageBox* box) {
    SeenBox seen{box->windowTitle(),     box->text(), box->icon(), box->textFormat(),
                 box->standardButtons(), {},          {},          {}};
    QAbstractButton* press = box->button(QMessageBox::Ok);
    for (QAbstractButton* button : box->buttons()) {
        seen.buttonTexts.append(button->text());
        if (!buttonsToPress.isEmpty() && nameOf(box, button) == buttonsToPress.first())
            press = button;
    }
    seen.defaultButton = nameOf(box, box->defaultButton());
    seen.escapeButton = nameOf(box, box->escapeButton());
    boxes.append(seen);
    if (!buttonsToPress.isEmpty() && nameOf(box, press) == buttonsToPress.first())
        buttonsToPress.removeFirst();
    if (press)
        press->click();
    else
        box->close();
}

void ModalAnswerer::answerActiveModal(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        answerBox(box);
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        fileDialogs.append({dialog->objectName(), dialog->windowTitle(),
                            dialog->directory().absolutePath(), dialog->selectedFiles(),
                            dialog->nameFilters(), dialog->fileMode(), dialog->acceptMode(),
                            dialog->testOption(QFileDialog::DontUseNativeDialog)});
        const QString path = paths.isEmpty() ? QString() : paths.takeFirst();
        // A name the dialog refuses leaves it up: give up rather than wait.
        if (path.isEmpty() || !chooseFileInDialog(dialog, path))
            cancelFileDialog(dialog);
    } else if (answerOther) {
        answerOther(modal);
    } else {
        unexpected.append(modal->objectName());
        modal->close();
    }
}
