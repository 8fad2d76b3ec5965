#include "EditHistory.h"

#include "Core.h"
#include "FieldText.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

EditHistory::EditHistory(Core& core, QMenu& editMenu, QObject* parent)
    : QObject(parent), core(core),
      UndoMenu(addItem(editMenu, "UndoMenu", &EditHistory::UndoMenu_Click)),
      RedoMenu(addItem(editMenu, "RedoMenu", &EditHistory::RedoMenu_Click)) {
    UndoMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoMenu->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    watchForFocusMoves();
    updateActions();
}

QAction* EditHistory::addItem(QMenu& menu, const char* name, void (EditHistory::*handler)()) {
    QAction* item = menu.addAction(QString());
    item->setObjectName(QLatin1String(name));
    connect(item, &QAction::triggered, this, handler);
    return item;
}

void EditHistory::watchForFocusMoves() {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window()->windowType() == Qt::Popup || now == lastFocus)
            return;
        lastFocus = now;
        core.closeEditStep();
    });
}

void EditHistory::updateActions() {
    const std::optional<Field> undo = core.nextUndo();
    const std::optional<Field> redo = core.nextRedo();
    UndoMenu->setEnabled(undo.has_value());
    UndoMenu->setText(undo ? tr("&Undo %1").arg(fieldText(*undo)) : tr("&Undo"));
    RedoMenu->setEnabled(redo.has_value());
    RedoMenu->setText(redo ? tr("&Redo %1").arg(fieldText(*redo)) : tr("&Redo"));
}

void EditHistory::UndoMenu_Click() {
    if (const std::optional<Field> field = core.undo())
        emit fieldChanged(*field, tr("Undid %1").arg(fieldText(*field)));
}

void EditHistory::RedoMenu_Click() {
    if (const std::optional<Field> field = core.redo())
        emit fieldChanged(*field, tr("Redid %1").arg(fieldText(*field)));
}
