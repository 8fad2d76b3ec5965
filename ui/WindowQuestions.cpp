#include "WindowQuestions.h"

#include "Core.h"
#include "FieldText.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

namespace {
// The conflict question lists this many at the most, then a count.
constexpr std::size_t listedConflicts = 10;

// Moves a dialog, once it has its size, to the middle of the window it
// belongs to; left to the window system, a dialog of a window that is not
// active yet may open in a corner of the screen.
class CentreOnParent : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && dialog->parentWidget()) {
            QRect frame = dialog->frameGeometry();
            frame.moveCenter(dialog->parentWidget()->window()->frameGeometry().center());
            dialog->move(frame.topLeft());
        }
        return false;
    }
};
} // namespace

int WindowQuestions::ask(QDialog& dialog) {
    return stopped ? int(QDialog::Rejected) : dialog.exec();
}

void WindowQuestions::askInBox(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    CentreOnParent centre;
    box.installEventFilter(&centre);
    ask(box);
}

void WindowQuestions::tell(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, &window);
    askInBox(box);
}

// Keep Mine or Take Theirs; nothing for Cancel, the default, and Escape,
// which keep the file as the other program left it.
std::optional<ConflictAnswer::Choice>
WindowQuestions::askAboutConflicts(const QString& imageName,
                                   const std::vector<Conflict>& conflicts) {
    const std::size_t count = conflicts.size();
    QString text = tr("Another program changed %n values in \"%1\" that you also changed:", nullptr,
                      int(count))
                       .arg(imageName);
    for (std::size_t i = 0; i < std::min(count, listedConflicts); ++i)
        text += u'\n' + conflictText(core, conflicts[i]);
    if (count > listedConflicts)
        text += u'\n' + tr("and %n more", nullptr, int(count - listedConflicts));
    QMessageBox box(QMessageBox::Warning, tr("Warning"), text, QMessageBox::Cancel, &window);
    QPushButton* keepMine = box.addButton(tr("&Keep Mine"), QMessageBox::AcceptRole);
    keepMine->setObjectName(QStringLiteral("KeepMineButton"));
    QPushButton* takeTheirs = box.addButton(tr("&Take Theirs"), QMessageBox::AcceptRole);
    takeTheirs->setObjectName(QStringLiteral("TakeTheirsButton"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    askInBox(box);
    if (box.clickedButton() == keepMine)
        return ConflictAnswer::Choice::KeepMine;
    if (box.clickedButton() == takeTheirs)
        return ConflictAnswer::Choice::TakeTheirs;
    return std::nullopt;
}

SessionQuestions::BeforeClosing WindowQuestions::askBeforeClosing(const QString& imageName) {
    QMessageBox box(QMessageBox::Warning, tr("Tarvon Add-ons"),
                    tr("Save the changes to \"%1\" before closing?").arg(imageName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    askInBox(box);
    if (box.clickedButton() == box.button(QMessageBox::Save))
        return BeforeClosing::Save;
    if (box.clickedButton() == box.button(QMessageBox::Discard))
        return BeforeClosing::Discard;
    return BeforeClosing::Cancel;
}

bool WindowQuestions::askToSaveInstead(const QString& imageName) {
    QMessageBox box(QMessageBox::Warning, tr("Save As"),
                    tr("\"%1\" is the image you are editing: Save As writes a new file and never "
                       "over it. Save your edits into \"%1\" instead?")
                        .arg(imageName),
                    QMessageBox::Save | QMessageBox::Cancel, &window);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    askInBox(box);
    return box.clickedButton() == box.button(QMessageBox::Save);
}
