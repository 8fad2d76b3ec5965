#pragma once

#include "EditJournal.h"

#include <QObject>
#include <QPointer>

class Core;
class QAction;
class QMenu;
class QWidget;

// Edit > Undo and Redo over the store's one history, named after the step
// they would undo or redo. An edit step is one field's typing or picking
// while it keeps the focus: it ends when the focus moves to another control.
// A popup (a context menu, the set list) or another window taking the
// keyboard for a while ends nothing.
class EditHistory : public QObject {
    Q_OBJECT
public:
    // Adds UndoMenu and RedoMenu to `editMenu`.
    EditHistory(Core& core, QMenu& editMenu, QObject* parent = nullptr);

    // Enables and names the two items after what the history holds.
    void updateActions();

signals:
    // An undo or redo changed `field`: `whatHappened` says so.
    void fieldChanged(const Field& field, const QString& whatHappened);

private:
    QAction* addItem(QMenu& menu, const char* name, void (EditHistory::*handler)());
    void watchForFocusMoves();
    void UndoMenu_Click();
    void RedoMenu_Click();

    Core& core;
    QAction* UndoMenu;
    QAction* RedoMenu;
    QPointer<QWidget> lastFocus;
};
