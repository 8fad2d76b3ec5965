// A screen reader names every control of the editors and the About window,
// and each caption is tied to the box it names.
#include "AboutForm.h"
#include "DamageTableForm.h"
#include "EnemyStatsForm.h"
#include "EnemyTableForm.h"
#include "LoadedImage.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <memory>

namespace {
enum class Window { EnemyEditor, DamageTableEditor, EnemyTable, About };

std::unique_ptr<QWidget> makeWindow(Window window, Core& core) {
    switch (window) {
    case Window::EnemyEditor:
        return std::make_unique<EnemyStatsForm>(core);
    case Window::DamageTableEditor:
        return std::make_unique<DamageTableForm>(core);
    case Window::EnemyTable:
        return std::make_unique<EnemyTableForm>(core);
    case Window::About:
        return std::make_unique<AboutForm>(nullptr);
    }
    return nullptr;
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// What a screen reader says `widget` is. Qt on Linux reports a combo box's
// value in place of its name and leaves naming it to the label tied to it,
// so a combo is named by its accessible name and its label relation.
QString announcedName(QWidget* widget) {
    return qobject_cast<QComboBox*>(widget) ? widget->accessibleName() : accessibleName(widget);
}

// The widgets that a screen reader says label `widget`.
QList<QObject*> labelsOf(QWidget* widget) {
    QList<QObject*> labels;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    for (const auto& [other, relation] : face->relations(QAccessible::Label))
        labels.append(other->object());
    return labels;
}
} // namespace

class TestAccessibleNames : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useProgramLanguageAndFont(); }

    void controlNames_data();
    void controlNames();
    void everyControlNamed_data();
    void everyControlNamed();
};

void TestAccessibleNames::controlNames_data() {
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label"); // the control's buddy label, if it has one

    const Window enemy = Window::EnemyEditor;
    QTest::addRow("enemy: list") << enemy << "ListOfEnemy"
                                 << "Enemy"
                                 << "Label1";
    QTest::addRow("enemy: health") << enemy << "healthBox"
                                   << "Enemy Health"
                                   << "Label6";
    QTest::addRow("enemy: set") << enemy << "DamageSetCombo"
                                << "Enemy Damage Set"
                                << "Label5";
    for (int armour = 1; armour <= 3; ++armour)
        QTest::addRow("enemy: damage %d", armour)
            << enemy << QStringLiteral("Damage%1").arg(armour)
            << QStringLiteral("Armor %1").arg(armour) << QStringLiteral("Label%1").arg(armour + 1);

    const Window table = Window::DamageTableEditor;
    QTest::addRow("table: set") << table << "DamageSetCombo"
                                << "Damage Set"
                                << "DamageSetLabel";
    for (int armour = 1; armour <= 3; ++armour)
        QTest::addRow("table: damage %d", armour)
            << table << QStringLiteral("Damage%1").arg(armour)
            << QStringLiteral("Armor %1").arg(armour) << QStringLiteral("Label%1").arg(armour + 1);
    QTest::addRow("table: warning") << table << "Label1"
                                    << "Warning: be very careful with changing these values."
                                    << "";

    const Window enemyTable = Window::EnemyTable;
    QTest::addRow("enemy table: filter") << enemyTable << "EnemyFilter"
                                         << "Find enemies by name or slot"
                                         << "FindLabel";
    QTest::addRow("enemy table: enemies") << enemyTable << "EnemyTable"
                                          << "Enemies"
                                          << "";
    QTest::addRow("enemy table: sets") << enemyTable << "DamageSetTable"
                                       << "Damage Sets"
                                       << "";

    const Window about = Window::About;
    QTest::addRow("about: logo") << about << "Picture1"
                                 << "Tarvon Add-ons logo"
                                 << "";
    QTest::addRow("about: title") << about << "Label1"
                                  << "Tarvon Add-ons"
                                  << "";
    QTest::addRow("about: credit") << about << "Label2"
                                   << "Made by the Tarvon team"
                                   << "";
    QTest::addRow("about: ok") << about << "Command1"
                               << "ok"
                               << "";
}

void TestAccessibleNames::controlNames() {
    QFETCH(Window, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, label);

    LoadedImage image;
    const auto form = makeWindow(window, image.core);
    form->show();
    auto* widget = form->findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(announcedName(widget), name);
    if (label.isEmpty())
        return;
    auto* caption = form->findChild<QLabel*>(label);
    QVERIFY(caption);
    QCOMPARE(caption->buddy(), widget);
    if (qobject_cast<QComboBox*>(widget))
        QVERIFY(labelsOf(widget).contains(caption));
}

void TestAccessibleNames::everyControlNamed_data() {
    QTest::addColumn<Window>("window");
    QTest::addRow("enemy editor") << Window::EnemyEditor;
    QTest::addRow("damage table editor") << Window::DamageTableEditor;
    QTest::addRow("enemy table") << Window::EnemyTable;
    QTest::addRow("About window") << Window::About;
}

// Nothing that takes the focus or shows a picture is left for the screen
// reader to announce without a name.
void TestAccessibleNames::everyControlNamed() {
    QFETCH(Window, window);

    LoadedImage image;
    const auto form = makeWindow(window, image.core);
    form->show();
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        const bool control = widget->focusPolicy() != Qt::NoFocus && widget->isVisible() &&
                             widget->objectName().size() > 0 &&
                             !widget->objectName().startsWith(QLatin1String("qt_"));
        if (control || qobject_cast<QLabel*>(widget))
            QVERIFY2(!accessibleName(widget).isEmpty(), qPrintable(widget->objectName()));
    }
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessible_names.moc"
