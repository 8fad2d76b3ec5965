// The damage table editor, driven from the keyboard and the mouse, checked
// against the data store and the saved file; and both editors open together.
#include "BellCount.h"
#include "DamageTableForm.h"
#include "EditorFixture.h"
#include "EnemyStatsForm.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using Changes = QMap<qsizetype, Byte>;

class TestDamageTableForm : public QObject, private EditorFixture<DamageTableForm> {
    Q_OBJECT
    QStringList storedRow(int set) const;
    void verifyShowsSet(const QString& setText, int set) const;

private slots:
    void initTestCase() { useProgramLanguageAndFont(); }
    void init();
    void cleanup();

    void startsAtSetZero();
    void focusMovesInTheWindowsOrder();
    void pickingSets_data();
    void pickingSets();
    void damageTyping_data();
    void damageTyping();
    void refusedTextKeepsTheBoxsValue_data();
    void refusedTextKeepsTheBoxsValue();
    void typedSetThenEditWritesTheSetShown_data();
    void typedSetThenEditWritesTheSetShown();
    void setTextAtRefresh_data();
    void setTextAtRefresh();
    void refreshStoresNothing();
};

void TestDamageTableForm::init() {
    openEditor();
    form->refreshValues();
}

void TestDamageTableForm::cleanup() {
    closeEditor();
}

namespace {
// One notch of the mouse wheel, down, over `widget`.
void turnWheel(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    QWheelEvent wheel(centre, widget->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}
} // namespace

QStringList TestDamageTableForm::storedRow(int set) const {
    QStringList row;
    for (Byte value : core().getDamageSet(set))
        row << QString::number(value);
    return row;
}

void TestDamageTableForm::verifyShowsSet(const QString& setText, int set) const {
    QCOMPARE(driver().setCombo()->currentText(), setText);
    QCOMPARE(driver().dataFrame()->title(), "Damage " + setText + " Table");
    QCOMPARE(driver().damageTexts(), storedRow(set));
}

void TestDamageTableForm::startsAtSetZero() {
    LoadedImage freshImage;
    DamageTableForm fresh(freshImage.core);
    const EditorDriver freshDriver(&fresh);
    QCOMPARE(freshDriver.setCombo()->currentText(), "0");
    QCOMPARE(freshDriver.setCombo()->count(), 10); // the sets 0 to 9
    QCOMPARE(freshDriver.dataFrame()->title(), "Damage 0 Table");
    QCOMPARE(freshDriver.damageTexts(), (QStringList{"0", "0", "0"}));
    QVERIFY(freshImage.savedChanges().isEmpty());

    verifyShowsSet("0", 0);
    QCOMPARE(driver().damageTexts(), image->originalRow(0));
    QVERIFY(image->savedChanges().isEmpty());
}

void TestDamageTableForm::focusMovesInTheWindowsOrder() {
    const QStringList order{"Damage1", "Damage2", "Damage3", "DamageSetCombo", "Damage1"};
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    for (const QString& next : order.sliced(1)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

// Picks from the list (item >= 0), steps with the arrow keys (-1 down, -2
// up) or turns the mouse wheel over the set box (-3), which picks nothing;
// showing sets never changes the table.
void TestDamageTableForm::pickingSets_data() {
    QTest::addColumn<QList<int>>("picks");
    QTest::addColumn<int>("expectedSet");
    QTest::addRow("list 4") << QList<int>{4} << 4;
    QTest::addRow("list 9") << QList<int>{9} << 9;
    QTest::addRow("list 4, list 0") << QList<int>{4, 0} << 0;
    QTest::addRow("4 down") << QList<int>{-1, -1, -1, -1} << 4;
    QTest::addRow("4 down, 4 up") << QList<int>{-1, -1, -1, -1, -2, -2, -2, -2} << 0;
    QTest::addRow("list 7, up") << QList<int>{7, -2} << 6;
    QTest::addRow("list 2, wheel") << QList<int>{2, -3} << 2;
}

void TestDamageTableForm::pickingSets() {
    QFETCH(QList<int>, picks);
    QFETCH(int, expectedSet);
    for (int pick : picks) {
        if (pick >= 0)
            driver().pickFromList(pick);
        else if (pick == -3)
            turnWheel(driver().setCombo());
        else
            driver().stepSet(pick == -1 ? 1 : -1);
    }
    verifyShowsSet(QString::number(expectedSet), expectedSet);
    QCOMPARE(driver().damageTexts(), image->originalRow(expectedSet));
    QVERIFY(image->savedChanges().isEmpty());
}

// Keys typed one at a time over the whole selected text of one box; after
// each one the box shows the next text and the store holds its value; an
// emptied box stores nothing. "v" is the box's value before. Each refused
// key rings the bell once.
void TestDamageTableForm::damageTyping_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("armour");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("bells");
    QTest::addRow("letter in Damage2") << 4 << 2 << "x" << QStringList{"v"} << 1;
    QTest::addRow("2, 5, 6") << 1 << 1 << "256" << QStringList{"2", "25", "25"} << 1;
    QTest::addRow("9, 5") << 9 << 3 << "95" << QStringList{"9", "95"} << 0;
    QTest::addRow("deleted, then 7") << 3 << 1 << "\b7" << QStringList{"", "7"} << 0;
    QTest::addRow("no fourth character")
        << 2 << 3 << "1234" << QStringList{"1", "12", "123", "123"} << 1;
    QTest::addRow("Arabic-Indic three")
        << 5 << 2 << QString(QChar(0x0663)) << QStringList{"v"} << 1;
    QTest::addRow("set 0") << 0 << 2 << "8" << QStringList{"8"} << 0;
    QTest::addRow("55, End, Backspace twice, 60")
        << 6 << 2 << "55{End}\b\b60" << QStringList{"5", "55", "55", "5", "", "6", "60"} << 0;
    QTest::addRow("8, then a stray letter") << 7 << 1 << "8q" << QStringList{"8", "8"} << 1;
    QTest::addRow("cleared box left by Tab") << 8 << 3 << "\b{Tab}" << QStringList{"", "v"} << 0;
    QTest::addRow("cleared box left by Enter")
        << 2 << 1 << "\b{Return}" << QStringList{"", "v"} << 0;
    QTest::addRow("cleared box, Escape") << 5 << 3 << "\b{Esc}" << QStringList{"", "v"} << 0;
}

void TestDamageTableForm::damageTyping() {
    QFETCH(int, set);
    QFETCH(int, armour);
    QFETCH(QString, keys);
    QFETCH(QStringList, texts);
    QFETCH(int, bells);
    driver().stepSet(set);
    QLineEdit* box = driver().damageBox(armour);
    box->setFocus();
    selectAll(box);
    const int bellsBefore = bellsRung();
    const QString before = box->text();
    QStringList expectedRow = image->originalRow(set);
    const QStringList strokes = keystrokes(keys);
    for (qsizetype i = 0; i < strokes.size(); ++i) {
        typeText(box, strokes.at(i));
        const QString expected = texts.at(i) == "v" ? before : texts.at(i);
        QCOMPARE(box->text(), expected);
        if (!expected.isEmpty())
            expectedRow[armour - 1] = QString::number(expected.toInt());
        QCOMPARE(storedRow(set), expectedRow);
    }
    QCOMPARE(bellsRung() - bellsBefore, bells);
    QCOMPARE(driver().dataFrame()->title(), QStringLiteral("Damage %1 Table").arg(set));
    const int index = int(places::damageTableIndex(std::size_t(set), armour));
    const auto value = Byte(expectedRow[armour - 1].toInt());
    Changes expected;
    if (value != image->originalAt(damageTableOffset(index)))
        expected.insert(damageTableOffset(index), value);
    QCOMPARE(image->savedChanges(), expected);
}

// A text that is no byte value, typed or pasted into any of the three boxes,
// puts back that box's own stored value and stores nothing.
void TestDamageTableForm::refusedTextKeepsTheBoxsValue_data() {
    QTest::addColumn<int>("armour");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    for (int armour = 1; armour <= 3; ++armour) {
        QTest::addRow("Armor %d, letter", armour) << armour << "k" << false;
        QTest::addRow("Armor %d, 300 pasted", armour) << armour << "300" << true;
        QTest::addRow("Armor %d, 256 pasted", armour) << armour << "256" << true;
        QTest::addRow("Armor %d, Arabic-Indic three", armour)
            << armour << QString(QChar(0x0663)) << false;
    }
}

void TestDamageTableForm::refusedTextKeepsTheBoxsValue() {
    QFETCH(int, armour);
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    const int set = 3;
    core().setDamageSet(set, 8, 170, 255);
    driver().stepSet(set);
    const QStringList row{"8", "170", "255"};
    QCOMPARE(driver().damageTexts(), row);
    QLineEdit* box = driver().damageBox(armour);
    box->setFocus();
    selectAll(box);
    const int bellsBefore = bellsRung();
    const int writesBefore = image->core.writes;
    if (pasted) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeText(box, text);
    }
    QCOMPARE(bellsRung() - bellsBefore, 1);
    QCOMPARE(driver().damageTexts(), row);
    QCOMPARE(storedRow(set), row);
    QCOMPARE(image->core.writes, writesBefore);
}

// A number typed into the combo's text shows nothing new and is put back to
// the set in use; the next edit goes into the set the boxes show.
void TestDamageTableForm::typedSetThenEditWritesTheSetShown_data() {
    QTest::addColumn<int>("endingKey");
    QTest::addRow("no key") << 0;
    QTest::addRow("Enter") << int(Qt::Key_Return);
    QTest::addRow("Tab") << int(Qt::Key_Tab);
    QTest::addRow("Escape") << int(Qt::Key_Escape);
}

void TestDamageTableForm::typedSetThenEditWritesTheSetShown() {
    QFETCH(int, endingKey);
    driver().stepSet(2);
    QSignalSpy picks(driver().setCombo(), &DamageSetCombo::picked);
    driver().typeSetText("5", endingKey);
    QCOMPARE(picks.count(), 0);
    QCOMPARE(driver().dataFrame()->title(), "Damage 2 Table");
    QLineEdit* box = driver().damageBox(1);
    box->setFocus();
    QCOMPARE(driver().setCombo()->currentText(), "2");
    selectAll(box);
    const int value = image->originalAt(damageTableOffset(6)) == 77 ? 78 : 77;
    typeText(box, QString::number(value));
    QCOMPARE(storedRow(2), (QStringList{QString::number(value), image->originalRow(2)[1],
                                        image->originalRow(2)[2]}));
    QCOMPARE(storedRow(5), image->originalRow(5));
    QCOMPARE(image->savedChanges(), (Changes{{damageTableOffset(6), Byte(value)}}));
}

// The text the combo holds when the window refreshes, as the main window
// does when it shows the window again: never taken, whatever it is.
void TestDamageTableForm::setTextAtRefresh_data() {
    QTest::addColumn<QString>("typed");
    QTest::addRow("letter") << "x";
    QTest::addRow("07") << "07";
    QTest::addRow("15") << "15";
}

void TestDamageTableForm::setTextAtRefresh() {
    QFETCH(QString, typed);
    driver().stepSet(6);
    driver().typeSetText(typed, 0);
    form->refreshValues();
    verifyShowsSet("6", 6);
    QCOMPARE(driver().damageTexts(), image->originalRow(6));
    QVERIFY(image->savedChanges().isEmpty());
}

// Showing sets only reads the store, however they are chosen; a user's edit
// of a box stores the row once.
void TestDamageTableForm::refreshStoresNothing() {
    driver().pickFromList(4);
    driver().stepSet(3);
    driver().typeSetText("x", 0);
    form->refreshValues();
    QCOMPARE(image->core.writes, 0);
    selectAll(driver().damageBox(2));
    typeText(driver().damageBox(2), "1");
    QCOMPARE(image->core.writes, 1);
}

QTEST_MAIN(TestDamageTableForm)
#include "tst_damage_table_form.moc"
