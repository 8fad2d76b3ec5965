#pragma once

#include "EditJournal.h"
#include "TableChange.h"

#include <QObject>
#include <QPointer>

class Core;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// The editors inside the main window's workspace, the two editors and the
// enemy table: each made on first use, reused while open and discarded when
// closed, each showing what memory holds after every change.
class EditorWindows : public QObject {
    Q_OBJECT
public:
    EditorWindows(Core& core, QMdiArea& workspace);

    void showEnemyEditor();
    void showDamageTableEditor();
    void showEnemyTable();
    // Brings forward the open editor that holds `field`, at that field.
    void showField(const Field& field);
    void closeAll();

signals:
    // Every open editor refreshes what `change` names.
    void tableChanged(const TableChange& change);

private:
    enum class Size { Fixed, Resizable };
    template <class Form>
    Form* showEditor(QPointer<QMdiSubWindow>& window, Size size = Size::Fixed);
    template <class Form> void showFieldIn(QPointer<QMdiSubWindow>& window, const Field& field);
    QMdiSubWindow* addEditorWindow(QWidget* form, Size size);
    void makeRoomFor(QMdiSubWindow* window);
    static void offerOnlyMoveAndClose(QMdiSubWindow* window);

    Core& core;
    QMdiArea& workspace;
    QPointer<QMdiSubWindow> enemyStatsWindow;
    QPointer<QMdiSubWindow> damageTableWindow;
    QPointer<QMdiSubWindow> enemyTableWindow;
};
