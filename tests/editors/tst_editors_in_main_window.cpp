// Both editors opened from the main window's Tools menu on a loaded image,
// edited from the keyboard and saved with the File menu.
#include "DamageTableForm.h"
#include "EditorDriver.h"
#include "EnemyStatsForm.h"
#include "LoadedImage.h"
#include "MainWindowSession.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

class TestEditorsInMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useProgramLanguageAndFont(); }
    void editsReachTheFileThroughTheMenus();
    void bothEditorsShowMemory_data();
    void bothEditorsShowMemory();
    void undoAndRedoByKeysInABox();
    void undoShowsTheSlotItChanged();
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
    expected[damageTableOffset(places::damageTableIndex(3, 2))] = char(200);
    QCOMPARE(saved, expected);
}

namespace {
// Both editors open on the enemy in slot 0 and its damage set.
struct BothEditors {
    BothEditors() {
        if (!session.openImage())
            qFatal("the synthetic image does not open");
        trigger(&session.window, "DamagePointerEditorMenu");
        trigger(&session.window, "EnemyDamageEditorMenu");
        enemy = EditorDriver(session.window.findChild<EnemyStatsForm*>());
        table = EditorDriver(session.window.findChild<DamageTableForm*>());
        set = places::damageSetOf(session.core.getEnemyDamage(0));
        table.stepSet(set);
    }
    MainWindowSession session;
    int set = 0;
    EditorDriver enemy{&session.window};
    EditorDriver table{&session.window};
};

void writeIntoFile(const QString& path, qsizetype offset, char value) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset) && file.putChar(value));
}
} // namespace

void TestEditorsInMainWindow::bothEditorsShowMemory_data() {
    QTest::addColumn<QString>("changedBy");
    QTest::addRow("typing in the damage table editor") << "typing";
    QTest::addRow("Ctrl+Z in the enemy editor") << "undo";
    QTest::addRow("another program") << "another program";
    QTest::addRow("another program, then a copy renamed over the image") << "rename";
}

// A change of the set both editors show, made in one of them, by an undo or
// by another program, shows at once in both.
void TestEditorsInMainWindow::bothEditorsShowMemory() {
    QFETCH(QString, changedBy);
    BothEditors editors;
    const QStringList before = editors.table.damageTexts();
    QLineEdit* armour1 = editors.table.damageBox(1);
    const QString value = QString::number(before[0].toInt() ^ 1);
    const QString image = editors.session.dir.imagePath();
    if (changedBy == "rename") {
        // The watch goes on after a rename over the image: a later change shows.
        const QString copy = editors.session.dir.writeFile("copy.smc", readFileBytes(image));
        writeIntoFile(copy, damageTableOffset(places::damageTableIndex(editors.set, 1)),
                      char(value.toInt() ^ 2));
        // In one step, in place of the image, as rename(2) and MoveFileEx do.
        std::error_code failure;
        std::filesystem::rename(QFile::encodeName(copy).toStdString(),
                                QFile::encodeName(image).toStdString(), failure);
        QVERIFY2(!failure, failure.message().c_str());
        QTRY_COMPARE(editors.table.damageBox(1)->text(), QString::number(value.toInt() ^ 2));
    }
    if (changedBy == "another program" || changedBy == "rename") {
        armour1->setFocus();
        selectAll(armour1); // ready to be typed over, which the change must not undo
        writeIntoFile(image, damageTableOffset(places::damageTableIndex(editors.set, 1)),
                      char(value.toInt()));
    } else {
        armour1->setFocus();
        selectAll(armour1);
        typeText(armour1, value);
    }
    QStringList after = before;
    after[0] = value;
    if (changedBy == "undo") {
        auto* healthBox = editors.session.window.findChild<QLineEdit*>("healthBox");
        healthBox->setFocus();
        QTest::keyClick(healthBox, Qt::Key_Z, Qt::ControlModifier);
        after = before;
    }
    QTRY_COMPARE(editors.table.damageTexts(), after);
    QCOMPARE(editors.enemy.damageTexts(), after);
    if (changedBy == "another program" || changedBy == "rename")
        QCOMPARE(armour1->selectedText(), armour1->text());
}

// Ctrl+Z in the box typed into, emptied again, takes back the whole typing
// and shows it; Ctrl+Y and Ctrl+Shift+Z bring it back. The items say what
// they undo, and the box's context menu offers the program's Undo.
void TestEditorsInMainWindow::undoAndRedoByKeysInABox() {
    BothEditors editors;
    BackMDI& window = editors.session.window;
    auto* healthBox = window.findChild<QLineEdit*>("healthBox");
    const QString before = healthBox->text();
    const QString typed = before == "60" ? "61" : "60";
    healthBox->setFocus();
    selectAll(healthBox);
    typeText(healthBox, typed);
    selectAll(healthBox);
    typeText(healthBox, "\b");
    QCOMPARE(window.findChild<QAction*>("UndoMenu")->text(), "&Undo Health of 00");
    QVERIFY(window.isWindowModified());
    QContextMenuEvent menuRequest(QContextMenuEvent::Keyboard, healthBox->rect().center(),
                                  healthBox->mapToGlobal(healthBox->rect().center()));
    QApplication::sendEvent(healthBox, &menuRequest);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(healthBox->text(), QString()); // the menu does not end the retyping
    const QList<QAction*> offered = QApplication::activePopupWidget()->actions();
    QCOMPARE(offered.mid(0, 2), QList<QAction*>({window.findChild<QAction*>("UndoMenu"),
                                                 window.findChild<QAction*>("RedoMenu")}));
    QApplication::activePopupWidget()->close();
    for (const QKeyCombination key : {QKeyCombination(Qt::CTRL | Qt::Key_Y),
                                      QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        QTest::keyClick(healthBox, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(healthBox->text(), before);
        QCOMPARE(window.findChild<QLabel*>("statusMessage")->text(), "Undid Health of 00");
        QVERIFY(!window.isWindowModified());
        QCOMPARE(window.findChild<QAction*>("RedoMenu")->text(), "&Redo Health of 00");
        QTest::keyClick(healthBox, key.key(), key.keyboardModifiers());
        QCOMPARE(healthBox->text(), typed);
        QCOMPARE(window.findChild<QLabel*>("statusMessage")->text(), "Redid Health of 00");
    }
    QVERIFY(!window.findChild<QAction*>("RedoMenu")->isEnabled());
}

// An undo brings forward the editor that holds the field, at that field.
void TestEditorsInMainWindow::undoShowsTheSlotItChanged() {
    BothEditors editors;
    auto* enemyList = editors.session.window.findChild<QListWidget*>("ListOfEnemy");
    enemyList->setCurrentRow(5);
    editors.session.core.setEnemyHealth(5, Byte(editors.session.core.getEnemyHealth(5) ^ 1));
    enemyList->setCurrentRow(9);
    trigger(&editors.session.window, "EnemyDamageEditorMenu");
    trigger(&editors.session.window, "UndoMenu");
    QCOMPARE(enemyList->currentRow(), 5);
    QCOMPARE(editors.session.workspace()->activeSubWindow()->widget()->objectName(),
             "EnemyStatsForm");
}

QTEST_MAIN(TestEditorsInMainWindow)
#include "tst_editors_in_main_window.moc"
