// Both editors opened from the main window's Tools menu on a loaded image,
// edited from the keyboard and saved with the File menu.
#include "DamageTableForm.h"
#include "EditorDriver.h"
#include "EnemyStatsForm.h"
#include "LoadedImage.h"
#include "MainWindowSession.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

class TestEditorsInMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useProgramFont(); }
    void editsReachTheFileThroughTheMenus();
};

namespace {
void trigger(QWidget* window, const char* action) {
    QAction* item = window->findChild<QAction*>(action);
    QVERIFY(item);
    QVERIFY(item->isEnabled());
    item->trigger();
}
} // namespace

void TestEditorsInMainWindow::editsReachTheFileThroughTheMenus() {
    MainWindowSession session;
    const QByteArray original = session.dir.imageBytes();
    QVERIFY(session.openImage());
    BackMDI& window = session.window;
    trigger(&window, "DamagePointerEditorMenu");
    auto* enemyForm = window.findChild<EnemyStatsForm*>("EnemyStatsForm");
    QVERIFY(enemyForm);
    QTRY_COMPARE(QApplication::focusWidget(), enemyForm->findChild<QWidget*>("Damage3"));
    trigger(&window, "EnemyDamageEditorMenu");
    auto* tableForm = window.findChild<DamageTableForm*>("DamageTableForm");
    QVERIFY(tableForm);
    QTRY_COMPARE(QApplication::focusWidget(), tableForm->findChild<QWidget*>("Damage1"));

    // Slot 2's health becomes 7; damage set 3's armour 2 value becomes 200.
    auto* enemyList = enemyForm->findChild<QListWidget*>("ListOfEnemy");
    QTest::keyClick(enemyList, Qt::Key_Down);
    QTest::keyClick(enemyList, Qt::Key_Down);
    auto* healthBox = enemyForm->findChild<QLineEdit*>("healthBox");
    selectAll(healthBox);
    typeText(healthBox, "7");
    const EditorDriver table(tableForm);
    table.stepSet(3);
    selectAll(table.damageBox(2));
    typeText(table.damageBox(2), "200");

    // Showing the damage table editor again refreshes it from the store.
    table.typeSetText("x", 0);
    trigger(&window, "EnemyDamageEditorMenu");
    QCOMPARE(window.findChildren<DamageTableForm*>().size(), 1);
    QCOMPARE(table.setCombo()->currentText(), "3");
    QCOMPARE(table.damageBox(2)->text(), "200");

    trigger(&window, "SaveMenu");
    const QByteArray saved = session.dir.imageBytes();
    QCOMPARE(saved.size(), original.size());
    QByteArray expected = original;
    expected[healthOffset(2)] = char(7);
    expected[damageTableOffset(3 * 3 + 1)] = char(200);
    QCOMPARE(saved, expected);
}

QTEST_MAIN(TestEditorsInMainWindow)
#include "tst_editors_in_main_window.moc"
