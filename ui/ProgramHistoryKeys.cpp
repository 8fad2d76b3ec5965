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

// Puts the main window's item named `name` in place of `own`, or drops `own`
// where the field is not in the main window.
void replaceAction(QMenu* menu, QLineEdit* edit, const char* ownName, const char* name) {
    QAction* own = menu->findChild<QAction*>(QLatin1String(ownName));
    if (!own)
        return;
    if (QAction* program = edit->window()->findChild<QAction*>(QLatin1String(name)))
        menu->insertAction(own, program);
    menu->removeAction(own);
}

void showContextMenu(QLineEdit* edit, QContextMenuEvent* event) {
    QMenu* menu = edit->createStandardContextMenu();
    replaceAction(menu, edit, "edit-undo", "UndoMenu");
    replaceAction(menu, edit, "edit-redo", "RedoMenu");
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
