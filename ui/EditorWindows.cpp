#include "EditorWindows.h"

#include "DamageTableForm.h"
#include "EnemyStatsForm.h"
#include "EnemyTableForm.h"
#include "QtText.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>

EditorWindows::EditorWindows(Core& core, QMdiArea& workspace)
    : QObject(&workspace), core(core), workspace(workspace) {}

void EditorWindows::showEnemyEditor() {
    showEditor<EnemyStatsForm>(enemyStatsWindow)->refreshValues();
}

void EditorWindows::showDamageTableEditor() {
    showEditor<DamageTableForm>(damageTableWindow)->refreshValues();
}

void EditorWindows::showEnemyTable() {
    showEditor<EnemyTableForm>(enemyTableWindow, Size::Resizable);
}

// Undo and redo of a field bring its editor forward only when it is open.
void EditorWindows::showField(const Field& field) {
    if (field.kind == Field::Kind::Damage)
        showFieldIn<DamageTableForm>(damageTableWindow, field);
    else if (field.kind != Field::Kind::AnotherProgram)
        showFieldIn<EnemyStatsForm>(enemyStatsWindow, field);
}

template <class Form>
void EditorWindows::showFieldIn(QPointer<QMdiSubWindow>& window, const Field& field) {
    if (!window)
        return;
    workspace.setActiveSubWindow(window);
    static_cast<Form*>(window->widget())->showField(field);
}

// The damage table editor first, as Exit has always closed it.
void EditorWindows::closeAll() {
    if (damageTableWindow)
        damageTableWindow->close();
    workspace.closeAllSubWindows();
}

// Shows the editor in `window`, creating it first if it is not open, and
// brings it forward with the focus on the control that had it last: a new
// editor's first control, or where the person left an open one. Left to
// itself, the workspace would give the focus to a control of its choosing.
template <class Form> Form* EditorWindows::showEditor(QPointer<QMdiSubWindow>& window, Size size) {
    if (!window) {
        auto* form = new Form(core);
        connect(this, &EditorWindows::tableChanged, form, &Form::tableChanged);
        window = addEditorWindow(form, size);
    }
    window->show();
    if (QWidget* leftAt = window->widget()->focusWidget())
        leftAt->setFocus(Qt::OtherFocusReason);
    workspace.setActiveSubWindow(window);
    return static_cast<Form*>(window->widget());
}

// The two editors keep the size they were designed at: a close button only,
// no resizing. The enemy table can be resized, and opens at the size it asks
// for, even where that is larger than the workspace. Each window is
// discarded when closed.
QMdiSubWindow* EditorWindows::addEditorWindow(QWidget* form, Size size) {
    const Qt::WindowFlags closeOnly = Qt::SubWindow | Qt::CustomizeWindowHint |
                                      Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                      Qt::WindowCloseButtonHint;
    QMdiSubWindow* window =
        workspace.addSubWindow(form, size == Size::Fixed ? closeOnly : Qt::WindowFlags());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(workspace.window()->windowIcon());
    if (size == Size::Resizable) {
        makeRoomFor(window);
        return window;
    }
    window->adjustSize();
    window->setFixedSize(window->size());
    offerOnlyMoveAndClose(window);
    return window;
}

// The enemy table opens at the size it asks for, in the workspace's top-left
// corner; the main window grows to show it whole, as far as the screen has
// room.
void EditorWindows::makeRoomFor(QMdiSubWindow* window) {
    const QSize wanted = window->sizeHint();
    const QSize missing = (wanted - workspace.viewport()->size()).expandedTo({0, 0});
    QWidget* frame = workspace.window();
    if (missing.width() > 0 || missing.height() > 0) {
        const QRect screen = frame->screen()->availableGeometry();
        const QSize frameExtra = frame->frameGeometry().size() - frame->size();
        frame->resize((frame->size() + missing).boundedTo(screen.size() - frameExtra));
    }
    window->setGeometry(QRect(QPoint(0, 0), wanted));
}

// Qt's window menu also offers Size and Stay on Top, which a fixed-size editor
// inside the frame has no use for.
void EditorWindows::offerOnlyMoveAndClose(QMdiSubWindow* window) {
    QMenu* menu = window->systemMenu();
    connect(menu, &QMenu::aboutToShow, menu, [menu] {
        const QStringList offered = {qtText("QMdiSubWindow", "&Move"),
                                     qtText("QMdiSubWindow", "&Close")};
        for (QAction* item : menu->actions())
            item->setVisible(offered.contains(item->text()));
    });
}
