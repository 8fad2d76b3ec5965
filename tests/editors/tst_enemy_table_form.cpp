// The enemy table open beside both editors on a loaded image, worked from the
// keyboard and the mouse as short scripts, and checked against what the
// tables, the editors, the store and the Edit menu show.
#include "BellCount.h"
#include "EditorDriver.h"
#include "LoadedImage.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <set>

namespace {
// Columns by the names the scripts use.
const QStringList enemyColumns{"Slot", "Name", "Health", "Set", "Armor1", "Armor2", "Armor3"};
const QStringList setColumns{"Set", "Armor1", "Armor2", "Armor3", "Enemies"};

// Tables easy to reason about: slot s has health (s % 16) * 10 up to slot F2,
// damage byte s (set s % 16, upper bits s / 16), so the healths of F3 to FF,
// the damage bytes of 00 to 0C, are 0 to 12; set k's values are k * 10 + 1 to
// k * 10 + 3.
void writeKnownTables(const ScratchProgramDir& dir) {
    QByteArray image = dir.imageBytes();
    for (int index = 0; index < 48; ++index)
        image[damageTableOffset(index)] = char(index / 3 * 10 + index % 3 + 1);
    for (int slot = 0; slot < 0xF3; ++slot)
        image[healthOffset(slot)] = char(slot % 16 * 10);
    for (int slot = 0; slot < 256; ++slot)
        image[damageByteOffset(slot)] = char(slot);
    dir.writeFile("game.smc", image);
}

void trigger(const MainWindowSession& session, const char* action) {
    QAction* item = session.action(action);
    QVERIFY(item && item->isEnabled());
    item->trigger();
}

void click(QAbstractItemView* view, const QModelIndex& index, Qt::KeyboardModifiers keys = {}) {
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, view->visualRect(index).center());
}

// Types `keys` (see keystrokes()) into whichever control has the focus. A
// cell takes its text once the key that ends the editing has been handled:
// Qt's item views do that next in the event loop.
void typeIntoFocus(const QString& keys) {
    for (const QString& stroke : keystrokes(keys)) {
        typeText(QApplication::focusWidget(), stroke);
        QCoreApplication::processEvents();
    }
}
} // namespace

// The image open with the enemy editor, the damage table editor and the
// enemy table, in that order.
struct ThreeWindows {
    ThreeWindows() {
        writeKnownTables(session.dir);
        if (!session.openImage())
            qFatal("the image does not open");
        trigger(session, "DamagePointerEditorMenu");
        trigger(session, "EnemyDamageEditorMenu");
        trigger(session, "EnemyTableMenu");
        enemies = session.window.findChild<QTableView*>("EnemyTable");
        sets = session.window.findChild<QTableView*>("DamageSetTable");
    }

    QModelIndex enemyCell(const QString& slot, const QString& column) const {
        QAbstractItemModel* shown = enemies->model();
        for (int row = 0; row < shown->rowCount(); ++row)
            if (shown->index(row, 0).data().toString() == slot)
                return shown->index(row, int(enemyColumns.indexOf(column)));
        return {};
    }
    QModelIndex setCell(const QString& set, const QString& column) const {
        return sets->model()->index(set.toInt(), int(setColumns.indexOf(column)));
    }
    // What a screen reader says each column's heading is, "|" between them.
    static QString spokenHeadings(QTableView* table) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(table);
        QStringList headings;
        for (int child = 0; child < face->childCount(); ++child)
            if (face->child(child)->role() == QAccessible::ColumnHeader)
                headings << face->child(child)->text(QAccessible::Name);
        return headings.join(u'|');
    }
    QStringList shownSlots(int from, int count) const {
        QStringList shown;
        for (int row = from; row < from + count; ++row)
            shown << enemies->model()->index(row, 0).data().toString();
        return shown;
    }
    EditorDriver damageTableEditor() const {
        return EditorDriver(session.window.findChild<QWidget*>("DamageTableForm"));
    }
    QWidget* enemyEditor(const char* control) const {
        return session.window.findChild<QWidget*>("EnemyStatsForm")->findChild<QWidget*>(control);
    }

    void run(const QString& step);

    MainWindowSession session;
    QTableView* enemies = nullptr;
    QTableView* sets = nullptr;
};

// "sort Health" clicks a heading; "filter 3c" is Ctrl+F and typing; "key
// Escape" a key in the focused control; "set 5" a click on a set's row;
// "allsets" All Sets; "type 3C Health 77{Return}" a click on a cell and the
// keys; "settype 5 Armor2 200{Return}" the same in the sets' table; "click"
// and "shiftclick 3C Health" select cells; "paste 1<tab>2" is Ctrl+V of that
// text; "undo" is Ctrl+Z in the table; "editor 3C 99" types a health into the
// enemy editor at slot 3C; "tableeditor 5 Armor1 201" types a value into the
// damage table editor at set 5.
void ThreeWindows::run(const QString& step) {
    const QString verb = step.section(u' ', 0, 0);
    const QStringList words = step.split(u' ');
    const QString rest = step.section(u' ', 1);
    if (verb == "sort") {
        QHeaderView* header = enemies->horizontalHeader();
        const int column = int(enemyColumns.indexOf(rest));
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
             header->height() / 2});
    } else if (verb == "filter") {
        enemies->setFocus();
        QTest::keyClick(enemies, Qt::Key_F, Qt::ControlModifier);
        typeIntoFocus(rest);
    } else if (verb == "key") {
        typeIntoFocus('{' + rest + '}');
    } else if (verb == "set") {
        click(sets, setCell(rest, "Set"));
    } else if (verb == "allsets") {
        QTest::mouseClick(session.window.findChild<QWidget*>("AllSetsButton"), Qt::LeftButton);
    } else if (verb == "type" || verb == "settype") {
        click(verb == "type" ? enemies : sets,
              verb == "type" ? enemyCell(words[1], words[2]) : setCell(words[1], words[2]));
        typeIntoFocus(words[3]);
    } else if (verb == "click" || verb == "shiftclick") {
        click(enemies, enemyCell(words[1], words[2]),
              verb == "click" ? Qt::NoModifier : Qt::ShiftModifier);
    } else if (verb == "paste") {
        QApplication::clipboard()->setText(rest);
        QTest::keyClick(enemies, Qt::Key_V, Qt::ControlModifier);
    } else if (verb == "undo") {
        QTest::keyClick(enemies, Qt::Key_Z, Qt::ControlModifier);
    } else if (verb == "editor") {
        auto* list = static_cast<QListWidget*>(enemyEditor("ListOfEnemy"));
        list->setCurrentRow(words[1].toInt(nullptr, 16));
        if (words.size() > 2) {
            enemyEditor("healthBox")->setFocus();
            selectAll(enemyEditor("healthBox"));
            typeText(enemyEditor("healthBox"), words[2]);
        }
    } else if (verb == "tableeditor") {
        damageTableEditor().stepSet(words[1].toInt());
        if (words.size() > 2) {
            QLineEdit* box = damageTableEditor().damageBox(words[2].back().digitValue());
            selectAll(box);
            typeText(box, words[3]);
        }
    } else {
        QFAIL(qPrintable("no such step: " + step));
    }
}

class TestEnemyTableForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useProgramLanguageAndFont(); }
    void tableAtWork_data();
    void tableAtWork();
};

void TestEnemyTableForm::tableAtWork_data() {
    QTest::addColumn<QStringList>("steps");
    // "rows 17 F4 F5" (the slots shown from row 17 on), "count <label>", "cell 3C Health
    // 77" and "setcell 5 Armor1 51" (shown), "health 3C 77" and "damage 3C 60" (in the
    // store), "healthbox 77" and "damagebox 2 200" (in the editors), "bells 1",
    // "message <text>", "undo <Edit menu item>", "repainted 2" (the enemy rows the last
    // step's change notice repainted), "clipboard <text>", "spoken enemies <headings>" (as
    // a screen reader names them, "|" between them; "sets" for the sets' table).
    QTest::addColumn<QStringList>("checks");
    const QString unchanged = "undo &Undo";

    QTest::addRow("sorted by health, alike in slot order")
        << QStringList{"sort Health"} << QStringList{"rows 0 00 10 20 30", "rows 16 F3 F4 F5"};
    QTest::addRow("health as numbers: 2 before 10")
        << QStringList{"sort Health"} << QStringList{"rows 17 F4 F5 F6 F7"};
    QTest::addRow("sorted down, alike still in slot order")
        << QStringList{"sort Health", "sort Health"} << QStringList{"rows 0 0F 1F 2F 3F"};
    QTest::addRow("filtered by slot")
        << QStringList{"filter 3c"} << QStringList{"rows 0 3C", "count 1 of 256 enemies"};
    QTest::addRow("filtered by name, case ignored")
        << QStringList{"filter \u00C9NEMY"} << QStringList{"rows 0 E9", "count 1 of 256 enemies"};
    QTest::addRow("Escape clears the filter")
        << QStringList{"filter 3c", "key Escape"} << QStringList{"count 256 of 256 enemies"};
    QTest::addRow("a set's row shows its enemies")
        << QStringList{"set 5"}
        << QStringList{"rows 0 05 15 25 35", "count 16 of 256 enemies, set 5"};
    QTest::addRow("All Sets shows them all again")
        << QStringList{"set 5", "allsets"} << QStringList{"count 256 of 256 enemies"};

    QTest::addRow("headings named for a screen reader")
        << QStringList{}
        << QStringList{"spoken enemies Slot|Name|Health|Damage Set|Damage at Armor 1|Damage at "
                       "Armor 2|Damage at Armor 3",
                       "spoken sets Damage Set|Damage at Armor 1|Damage at Armor 2|Damage at "
                       "Armor 3|Enemies Using the Set"};

    QTest::addRow("a health typed into a cell")
        << QStringList{"type 3C Health 77{Return}"}
        << QStringList{"cell 3C Health 77", "health 3C 77", "undo &Undo Health of 3C",
                       "repainted 1", "bells 0"};
    QTest::addRow("Enter, then a health")
        << QStringList{"type 3C Health {Return}77{Return}"} << QStringList{"health 3C 77"};
    QTest::addRow("a letter refused, with a bell")
        << QStringList{"type 3C Health x{Return}"}
        << QStringList{"cell 3C Health 120", "health 3C 120", "bells 1", unchanged};
    QTest::addRow("an emptied cell changes nothing, silently")
        << QStringList{"type 3C Health {F2}{Backspace}{Return}"}
        << QStringList{"health 3C 120", "bells 0", unchanged};
    QTest::addRow("set 16 refused, with a bell")
        << QStringList{"type 3A Set 16{Return}"} << QStringList{"damage 3A 58", "bells 1"};
    QTest::addRow("set 12 keeps the upper bits")
        << QStringList{"type 3A Set 12{Return}"}
        << QStringList{"damage 3A 60", "cell 3A Set 12", "cell 3A Armor1 121",
                       "undo &Undo Damage Set of 3A"};
    QTest::addRow("the health of F3 is the damage byte of 00")
        << QStringList{"type F3 Health 77{Return}"}
        << QStringList{"cell F3 Health 77", "cell 00 Set 13", "cell 00 Armor1 131", "repainted 2"};
    QTest::addRow("a set's value shows in its enemies' rows")
        << QStringList{"settype 5 Armor2 200{Return}"}
        << QStringList{"setcell 5 Armor2 200", "cell 05 Armor2 200", "cell F5 Armor2 200",
                       "undo &Undo Damage 5, Armor 2", "repainted 16"};
    QTest::addRow("a set's value refused")
        << QStringList{"settype 5 Armor2 256{Return}"}
        << QStringList{"setcell 5 Armor2 52", "bells 1", unchanged};
    QTest::addRow("an enemy's new set changes the counts")
        << QStringList{"type 3A Set 12{Return}"}
        << QStringList{"setcell 10 Enemies 15", "setcell 12 Enemies 17"};
    QTest::addRow("an undo in the table")
        << QStringList{"type 3C Health 77{Return}", "undo"}
        << QStringList{"cell 3C Health 120", "health 3C 120", "healthbox 120"};

    QTest::addRow("cells copied as tab-separated text")
        << QStringList{"click 3C Health", "shiftclick 3D Set", "key Ctrl+C"}
        << QStringList{"clipboard 120\t12\n130\t13"};
    QTest::addRow("a block pasted as one step")
        << QStringList{"click 3C Health", "paste 1\t2\n3\t4\n"}
        << QStringList{"health 3C 1", "damage 3C 50", "health 3D 3", "damage 3D 52",
                       "undo &Undo Paste at 3C"};
    QTest::addRow("a pasted block undone at once")
        << QStringList{"click 3C Health", "paste 1\t2\n3\t4", "undo"}
        << QStringList{"health 3C 120", "damage 3C 60", "health 3D 130", "damage 3D 61", unchanged};
    QTest::addRow("one value pasted into every selected cell")
        << QStringList{"click 3C Health", "shiftclick 3E Health", "paste 9"}
        << QStringList{"health 3C 9", "health 3D 9", "health 3E 9", "health 3F 150"};
    QTest::addRow("a paste refused whole")
        << QStringList{"click 3C Health", "paste 1\t2\n3\t300"}
        << QStringList{"health 3C 120", "damage 3C 60", unchanged,
                       "message Nothing was pasted: Damage Set of 3D cannot be \"300\"; a damage "
                       "set is a number from 0 to 15."};
    QTest::addRow("a paste into names refused")
        << QStringList{"click 3C Name", "paste x"}
        << QStringList{unchanged, "message Nothing was pasted: the column \"Name\" cannot be "
                                  "changed here; paste into Health or Damage Set."};
    QTest::addRow("a paste below the last row refused")
        << QStringList{"click FF Health", "paste 1\n2"}
        << QStringList{"health FF 12", unchanged,
                       "message Nothing was pasted: the values reach below the last row shown."};

    QTest::addRow("the table's edit shows in the enemy editor")
        << QStringList{"editor 3C", "type 3C Health 77{Return}"} << QStringList{"healthbox 77"};
    QTest::addRow("the enemy editor's edit shows in the table")
        << QStringList{"editor 3C 99"} << QStringList{"cell 3C Health 99", "repainted 1"};
    QTest::addRow("the table's edit shows in the damage table editor")
        << QStringList{"tableeditor 5", "settype 5 Armor2 200{Return}"}
        << QStringList{"damagebox 2 200"};
    QTest::addRow("the damage table editor's edit shows in the table")
        << QStringList{"tableeditor 5 Armor1 201"}
        << QStringList{"setcell 5 Armor1 201", "cell 15 Armor1 201", "repainted 16"};
}

void TestEnemyTableForm::tableAtWork() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, checks);
    ThreeWindows windows;
    QVERIFY(windows.enemies && windows.sets);
    auto* shown = qobject_cast<QSortFilterProxyModel*>(windows.enemies->model());
    QVERIFY(shown);
    QSignalSpy repaints(shown->sourceModel(), &QAbstractItemModel::dataChanged);
    const ModalAnswerer answerer;
    const int bellsBefore = bellsRung();
    for (const QString& step : steps) {
        repaints.clear();
        windows.run(step);
    }
    Core& core = windows.session.core;
    for (const QString& check : checks) {
        const QStringList words = check.split(u' ');
        const QString rest = check.section(u' ', 1);
        const QString last = check.section(u' ', -1);
        const Byte slot = Byte(words.value(1).toInt(nullptr, 16));
        if (words[0] == "rows")
            QCOMPARE(windows.shownSlots(words[1].toInt(), int(words.size()) - 2), words.mid(2));
        else if (words[0] == "count")
            QCOMPARE(windows.session.window.findChild<QLabel*>("EnemyCount")->text(), rest);
        else if (words[0] == "cell")
            QCOMPARE(windows.enemyCell(words[1], words[2]).data().toString(), last);
        else if (words[0] == "setcell")
            QCOMPARE(windows.setCell(words[1], words[2]).data().toString(), last);
        else if (words[0] == "health")
            QCOMPARE(core.getEnemyHealth(slot), last.toInt());
        else if (words[0] == "damage")
            QCOMPARE(core.getEnemyDamage(slot), last.toInt());
        else if (words[0] == "healthbox")
            QCOMPARE(static_cast<QLineEdit*>(windows.enemyEditor("healthBox"))->text(), last);
        else if (words[0] == "damagebox")
            QCOMPARE(windows.damageTableEditor().damageBox(words[1].toInt())->text(), last);
        else if (words[0] == "bells")
            QCOMPARE(bellsRung() - bellsBefore, last.toInt());
        else if (words[0] == "message")
            QCOMPARE(answerer.boxes.value(0).text, rest);
        else if (words[0] == "undo")
            QCOMPARE(windows.session.action("UndoMenu")->text(), rest);
        else if (words[0] == "spoken")
            QCOMPARE(ThreeWindows::spokenHeadings(words[1] == "enemies" ? windows.enemies
                                                                        : windows.sets),
                     check.section(u' ', 2));
        else if (words[0] == "clipboard")
            QCOMPARE(QApplication::clipboard()->text(), rest);
        else if (words[0] == "repainted") {
            std::set<int> rows;
            for (const QList<QVariant>& change : repaints)
                for (int row = change[0].toModelIndex().row();
                     row <= change[1].toModelIndex().row(); ++row)
                    rows.insert(row);
            QCOMPARE(int(rows.size()), last.toInt());
        } else
            QFAIL(qPrintable("no such check: " + check));
    }
    if (!checks.join(u' ').contains("message"))
        QVERIFY(answerer.boxes.isEmpty());
}

QTEST_MAIN(TestEnemyTableForm)
#include "tst_enemy_table_form.moc"
