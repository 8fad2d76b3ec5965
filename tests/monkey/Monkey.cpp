#include "Monkey.h"

#include "DamageSetCombo.h"
#include "GuiSupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <array>

namespace {

struct Keystroke {
    int key;
    Qt::KeyboardModifiers modifiers;
};

// Keys that edit, move, select, leave or use the clipboard; Ctrl+S saves,
// Ctrl+Tab and Ctrl+F4 switch and close the editor windows.
const std::array editingKeys{
    Keystroke{Qt::Key_Backspace, {}},
    Keystroke{Qt::Key_Delete, {}},
    Keystroke{Qt::Key_Home, {}},
    Keystroke{Qt::Key_End, {}},
    Keystroke{Qt::Key_Left, {}},
    Keystroke{Qt::Key_Right, {}},
    Keystroke{Qt::Key_Up, {}},
    Keystroke{Qt::Key_Down, {}},
    Keystroke{Qt::Key_PageUp, {}},
    Keystroke{Qt::Key_PageDown, {}},
    Keystroke{Qt::Key_Return, {}},
    Keystroke{Qt::Key_Enter, Qt::KeypadModifier},
    Keystroke{Qt::Key_Escape, {}},
    Keystroke{Qt::Key_Tab, {}},
    Keystroke{Qt::Key_Backtab, Qt::ShiftModifier},
    Keystroke{Qt::Key_Space, Qt::ControlModifier},
    Keystroke{Qt::Key_Left, Qt::ShiftModifier},
    Keystroke{Qt::Key_Right, Qt::ShiftModifier},
    Keystroke{Qt::Key_Home, Qt::ShiftModifier},
    Keystroke{Qt::Key_End, Qt::ShiftModifier},
    Keystroke{Qt::Key_A, Qt::ControlModifier},
    Keystroke{Qt::Key_Z, Qt::ControlModifier},
    Keystroke{Qt::Key_Y, Qt::ControlModifier},
    Keystroke{Qt::Key_X, Qt::ControlModifier},
    Keystroke{Qt::Key_C, Qt::ControlModifier},
    Keystroke{Qt::Key_V, Qt::ControlModifier},
    Keystroke{Qt::Key_S, Qt::ControlModifier},
    Keystroke{Qt::Key_Tab, Qt::ControlModifier},
    Keystroke{Qt::Key_F4, Qt::ControlModifier},
    Keystroke{Qt::Key_F4, {}},
    Keystroke{Qt::Key_Down, Qt::AltModifier},
};

// Letters a keyboard in another language types: accented, other scripts'
// digits, a full-width digit, a sign outside Latin-1 and one beyond 16 bits.
const QStringList foreignTexts{
    QStringLiteral("é"), QStringLiteral("ß"), QStringLiteral("٣"), QStringLiteral("５"),
    QStringLiteral("²"), QStringLiteral("€"), QStringLiteral("Ω"), QStringLiteral("😀"),
};

// Texts a user may type as a damage set.
const QStringList setTexts{
    QStringLiteral("0"),  QStringLiteral("7"),  QStringLiteral("9"),   QStringLiteral("10"),
    QStringLiteral("15"), QStringLiteral("16"), QStringLiteral("255"), QStringLiteral("256"),
    QStringLiteral("03"), QStringLiteral("-1"), QStringLiteral("x"),   QStringLiteral("1a"),
    QStringLiteral(" 4"), QStringLiteral("٣"),  QStringLiteral(""),    QStringLiteral("999"),
};

const QStringList editorControls{
    QStringLiteral("healthBox"), QStringLiteral("ListOfEnemy"), QStringLiteral("DamageSetCombo"),
    QStringLiteral("Damage1"),   QStringLiteral("Damage2"),     QStringLiteral("Damage3"),
};

QMdiArea* workspaceOf(QWidget* mainWindow) {
    return mainWindow->findChild<QMdiArea*>();
}

} // namespace

QString describe(const QWidget* widget) {
    if (!widget)
        return QStringLiteral("nothing");
    QString name = widget->objectName().isEmpty()
                       ? QString::fromLatin1(widget->metaObject()->className())
                       : widget->objectName();
    for (const QWidget* outer = widget->parentWidget(); outer; outer = outer->parentWidget()) {
        if (outer->objectName().endsWith(QLatin1String("Form")))
            return name + QStringLiteral(" of ") + outer->objectName();
    }
    return name;
}

Monkey::Monkey(std::uint32_t seed, QWidget* mainWindow) : random(seed), mainWindow(mainWindow) {}

QString Monkey::act() {
    lastWasSave = false;
    if (QWidget* popup = QApplication::activePopupWidget()) {
        if (auto* list = popup->findChild<QAbstractItemView*>())
            return workOpenList(popup, list);
    }
    const int roll = below(100);
    if (roll < 10)
        return clickControl();
    if (roll < 20)
        return moveInList();
    if (roll < 25)
        return openSetList();
    if (roll < 30)
        return stepSet();
    if (roll < 36)
        return typeSetText();
    if (roll < 42)
        return openEditor();
    if (roll < 46)
        return closeEditor();
    if (roll < 49)
        return save();
    return pressKey();
}

QString Monkey::pressKey() {
    // A user's keys reach the active window, and the focus within it.
    activateWindow(mainWindow);
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus && focus->window() == mainWindow ? focus : mainWindow;
    switch (below(5)) {
    case 0: {
        const int digit = below(10);
        return keyTo(target, Qt::Key_0 + digit, {}, QString::number(digit));
    }
    case 1: {
        const QChar letter = QLatin1Char(static_cast<char>('a' + below(26)));
        if (chance(30))
            return keyTo(target, letter.toUpper().unicode(), Qt::ShiftModifier, letter.toUpper());
        return keyTo(target, letter.toUpper().unicode(), {}, letter);
    }
    case 2:
        return keyTo(target, Qt::Key_unknown, {}, foreignTexts[below(int(foreignTexts.size()))]);
    default: {
        const Keystroke& stroke = editingKeys[below(int(editingKeys.size()))];
        return keyTo(target, stroke.key, stroke.modifiers, {});
    }
    }
}

QString Monkey::clickControl() {
    QWidget* control = anyControl();
    if (!control)
        return openEditor();
    if (auto* combo = qobject_cast<DamageSetCombo*>(control)) {
        QLineEdit* text = combo->lineEdit();
        const QPoint where(below(text->width()), text->height() / 2);
        return perform(QStringLiteral("click into the text of ") + describe(combo),
                       [&] { QTest::mouseClick(text, Qt::LeftButton, {}, where); });
    }
    if (qobject_cast<QListWidget*>(control))
        return moveInList();
    const QPoint where(below(control->width()), control->height() / 2);
    if (chance(20))
        return perform(QStringLiteral("double click into ") + describe(control),
                       [&] { QTest::mouseDClick(control, Qt::LeftButton, {}, where); });
    return perform(QStringLiteral("click into ") + describe(control),
                   [&] { QTest::mouseClick(control, Qt::LeftButton, {}, where); });
}

// Clicks an item in sight (sometimes with Ctrl or Shift held), or, when the
// list has the focus, presses a key that moves in it.
QString Monkey::moveInList() {
    auto* list = qobject_cast<QListWidget*>(anyControlNamed(QStringLiteral("ListOfEnemy")));
    if (!list)
        return openEditor();
    if (list->hasFocus() && chance(60)) {
        static const std::array moves{Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                      Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        if (chance(15)) {
            const int digit = below(10);
            return keyTo(list, Qt::Key_0 + digit, {}, QString::number(digit));
        }
        return keyTo(list, moves[below(int(moves.size()))], {}, {});
    }
    struct Click {
        Qt::KeyboardModifiers held;
        const char* name;
    };
    static const std::array clicks{Click{{}, "click"}, Click{{}, "click"},
                                   Click{Qt::ControlModifier, "Ctrl+click"},
                                   Click{Qt::ShiftModifier, "Shift+click"}};
    const Click& click = clicks[below(int(clicks.size()))];
    QWidget* viewport = list->viewport();
    const int x = below(viewport->width()); // drawn in a fixed order, for the same run
    const QPoint where(x, below(viewport->height()));
    const QListWidgetItem* item = list->itemAt(where);
    const QString what = QStringLiteral("%1 on list row %2 of %3")
                             .arg(QLatin1String(click.name))
                             .arg(item ? list->row(item) : -1)
                             .arg(describe(list));
    return perform(what, [&] { QTest::mouseClick(viewport, Qt::LeftButton, click.held, where); });
}

QString Monkey::openSetList() {
    auto* combo = qobject_cast<DamageSetCombo*>(anyControlNamed(QStringLiteral("DamageSetCombo")));
    if (!combo)
        return openEditor();
    if (combo->hasFocus() && chance(30))
        return keyTo(combo, Qt::Key_F4, {}, {});
    const QPoint arrow(combo->width() - 3, combo->height() / 2);
    return perform(QStringLiteral("click on the arrow of ") + describe(combo),
                   [&] { QTest::mouseClick(combo, Qt::LeftButton, {}, arrow); });
}

QString Monkey::stepSet() {
    auto* combo = qobject_cast<DamageSetCombo*>(anyControlNamed(QStringLiteral("DamageSetCombo")));
    if (!combo)
        return openEditor();
    if (!combo->hasFocus())
        perform(QStringLiteral("click into the text of ") + describe(combo),
                [&] { QTest::mouseClick(combo->lineEdit(), Qt::LeftButton); });
    static const std::array steps{Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                  Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    return keyTo(combo, steps[below(int(steps.size()))], {}, {});
}

QString Monkey::typeSetText() {
    auto* combo = qobject_cast<DamageSetCombo*>(anyControlNamed(QStringLiteral("DamageSetCombo")));
    if (!combo)
        return openEditor();
    const QString text = setTexts[below(int(setTexts.size()))];
    static const std::array endings{0, int(Qt::Key_Return), int(Qt::Key_Tab)};
    const int ending = endings[below(int(endings.size()))];
    const QString what =
        QStringLiteral("select all, type \"%1\", then %2 in %3")
            .arg(text, ending ? QKeySequence(ending).toString() : QStringLiteral("nothing"),
                 describe(combo));
    return perform(what, [&] {
        if (!combo->hasFocus())
            QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(combo, Qt::Key_A, Qt::ControlModifier);
        for (const QChar character : text)
            QTest::sendKeyEvent(QTest::Click, combo, Qt::Key_unknown, QString(character), {});
        if (text.isEmpty())
            QTest::keyClick(combo, Qt::Key_Delete);
        if (ending != 0)
            QTest::keyClick(combo, Qt::Key(ending));
    });
}

QString Monkey::openEditor() {
    return trigger(chance(50) ? "DamagePointerEditorMenu" : "EnemyDamageEditorMenu");
}

QString Monkey::closeEditor() {
    const QList<QMdiSubWindow*> windows = workspaceOf(mainWindow)->subWindowList();
    if (windows.isEmpty())
        return openEditor();
    QMdiSubWindow* window = windows[below(int(windows.size()))];
    return perform(QStringLiteral("close ") + describe(window->widget()), [&] { window->close(); });
}

QString Monkey::save() {
    return trigger("SaveMenu");
}

// While a combo's list is open: pick an item with the mouse, move in the
// list, or end it with Enter or Escape.
QString Monkey::workOpenList(QWidget* popup, QAbstractItemView* list) {
    const QString what = QStringLiteral("the open list of ") + describe(popup->parentWidget());
    const int rows = list->model()->rowCount();
    switch (below(4)) {
    case 0: {
        const QPoint item = list->visualRect(list->model()->index(below(rows), 0)).center();
        return perform(
            QStringLiteral("click on item %1 of %2").arg(list->indexAt(item).row()).arg(what),
            [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item); });
    }
    case 1: {
        static const std::array moves{Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
                                      Qt::Key_PageDown};
        return keyTo(list, moves[below(int(moves.size()))], {}, {}, what);
    }
    case 2:
        return keyTo(list, Qt::Key_Return, {}, {}, what);
    default:
        return keyTo(list, Qt::Key_Escape, {}, {}, what);
    }
}

QWidget* Monkey::anyControl() {
    return anyControlNamed(editorControls[below(int(editorControls.size()))]);
}

QWidget* Monkey::anyControlNamed(const QString& name) {
    QList<QWidget*> visible;
    for (QMdiSubWindow* window : workspaceOf(mainWindow)->subWindowList()) {
        for (QWidget* control : window->findChildren<QWidget*>(name)) {
            if (control->isVisible())
                visible.append(control);
        }
    }
    return visible.isEmpty() ? nullptr : visible[below(int(visible.size()))];
}

QString Monkey::trigger(const char* action) {
    lastWasSave = qstrcmp(action, "SaveMenu") == 0;
    return perform(QStringLiteral("menu item ") + QLatin1String(action),
                   [&] { mainWindow->findChild<QAction*>(QLatin1String(action))->trigger(); });
}

QString Monkey::keyTo(QWidget* target, int key, Qt::KeyboardModifiers modifiers,
                      const QString& text, const QString& targetName) {
    const QString name = text.isEmpty() ? QKeySequence(key | modifiers.toInt()).toString()
                                        : QLatin1Char('"') + text + QLatin1Char('"');
    lastWasSave = key == Qt::Key_S && modifiers == Qt::ControlModifier;
    const QString what = QStringLiteral("key %1 to %2")
                             .arg(name, targetName.isEmpty() ? describe(target) : targetName);
    return perform(what, [&] {
        if (text.isEmpty())
            QTest::keyClick(target, Qt::Key(key), modifiers);
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), text, modifiers);
    });
}

QString Monkey::perform(const QString& what, const std::function<void()>& action) {
    if (announce)
        announce(what);
    action();
    return what;
}
