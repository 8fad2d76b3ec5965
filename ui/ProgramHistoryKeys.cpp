#include "ProgramHistoryKeys.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace {

bool isHistoryKey(QKeyEvent* event) {
    const QKeyCombination key = event->keyCombination();
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           key == QKeyCombination(Qt::CTRL | Qt::Key_Y) ||
           key == QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
}

// Puts the main window's items named `names` in place of the first actions
// of `menu`, or drops those where the field is not in the main window.
// QLineEdit's own menu starts with its Undo and Redo when it can be edited.
void replaceHistoryActions(QMenu* menu, QLineEdit* edit) {
    if (edit->isReadOnly())
        return;
    const QList<QAction*> own = menu->actions();
    for (const char* name : {"UndoMenu", "RedoMenu"}) {
        if (QAction* program = edit->window()->findChild<QAction*>(QLatin1String(name)))
            menu->insertAction(own.first(), program);
    }
    menu->removeAction(own.at(0));
    menu->removeAction(own.at(1));
}

void showContextMenu(QLineEdit* edit, QContextMenuEvent* event) {
    QMenu* menu = edit->createStandardContextMenu();
    replaceHistoryActions(menu, edit);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

class ProgramHistoryFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = static_cast<QLineEdit*>(watched);
        // Let through to the Edit menu's shortcuts; a key they did not take
        // (nothing to undo) must not undo the field's own text either.
        const bool keyEvent =
            event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
        if (keyEvent && isHistoryKey(static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            showContextMenu(edit, static_cast<QContextMenuEvent*>(event));
            return true;
        }
        return false;
    }
};

} // namespace

void useProgramHistory(QLineEdit* edit) {
    edit->installEventFilter(new ProgramHistoryFilter(edit));
}
