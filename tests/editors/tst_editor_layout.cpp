// Every text of both editor windows fits its control at the program's font,
// in a font that has its characters, in each language (see CMakeLists.txt).
#include "DamageRowFrame.h"
#include "DamageTableForm.h"
#include "EnemyStatsForm.h"
#include "LoadedImage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextLayout>
#include <cmath>
#include <memory>

namespace {
// The widest texts the windows show: a three-digit value, a two-digit set
// (sets 10 to 15 come from enemies' damage bytes; longer typed texts scroll in
// the combo as in any text box), and the caption of such a set.
const QString widestValue = QStringLiteral("255");
const QString widestSet = QStringLiteral("15");
QString widestCaption() {
    return DamageRowFrame::tr("Damage %1 Table").arg(15);
}
// QLineEdit keeps this much space between its frame and its text.
constexpr int lineEditTextMargin = 2;

// The space a text needs and the space the control gives it.
struct Fit {
    QSize needed;
    QSize available;
};

Fit labelFit(const QLabel* label) {
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect room = label->contentsRect();
    return {label->fontMetrics().boundingRect(room, flags, label->text()).size(), room.size()};
}

Fit lineEditFit(const QLineEdit* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QSize text = box->fontMetrics().size(Qt::TextSingleLine, widestValue);
    return {{text.width() + 2 * lineEditTextMargin, text.height()}, room.size()};
}

Fit comboFit(const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo);
    const QSize text = combo->fontMetrics().size(Qt::TextSingleLine, widestSet);
    return {{text.width() + 2 * lineEditTextMargin, text.height()}, room.size()};
}

Fit frameCaptionFit(const QGroupBox* frame) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = widestCaption();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = frame->alignment();
    const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, frame);
    // As tall as the line it takes: characters from a fallback font may need
    // more than the frame's own font.
    QTextLayout layout(widestCaption(), frame->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QSize text(frame->fontMetrics().size(Qt::TextSingleLine, widestCaption()).width(),
                     int(std::ceil(line.height())));
    return {text, label.intersected(frame->rect()).size()};
}

Fit listFit(const QListWidget* list) {
    QSize widest;
    for (int row = 0; row < list->count(); ++row)
        widest = widest.expandedTo(list->visualItemRect(list->item(row)).size());
    QSize text;
    for (int row = 0; row < list->count(); ++row)
        text =
            text.expandedTo(list->fontMetrics().size(Qt::TextSingleLine, list->item(row)->text()));
    return {text, {std::min(widest.width(), list->viewport()->width()), widest.height()}};
}

Fit fitOf(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control))
        return labelFit(label);
    if (auto* box = qobject_cast<const QLineEdit*>(control))
        return lineEditFit(box);
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return comboFit(combo);
    if (auto* frame = qobject_cast<const QGroupBox*>(control))
        return frameCaptionFit(frame);
    if (auto* list = qobject_cast<const QListWidget*>(control))
        return listFit(list);
    qFatal("no measure for %s", qPrintable(control->objectName()));
}
} // namespace

class TestEditorLayout : public QObject {
    Q_OBJECT

    std::unique_ptr<LoadedImage> image;
    std::unique_ptr<QWidget> enemyForm;
    std::unique_ptr<QWidget> tableForm;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void clientSizes_data();
    void clientSizes();
    void places_data();
    void places();
    void textsFit_data();
    void textsFit();
};

void TestEditorLayout::initTestCase() {
    useProgramLanguageAndFont();
    image = std::make_unique<LoadedImage>();
    enemyForm = std::make_unique<EnemyStatsForm>(image->core);
    tableForm = std::make_unique<DamageTableForm>(image->core);
    enemyForm->show();
    tableForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(tableForm.get()));
}

void TestEditorLayout::cleanupTestCase() {
    enemyForm.reset();
    tableForm.reset();
    image.reset();
}

void TestEditorLayout::clientSizes_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("size");
    QTest::addRow("enemy editor") << "EnemyStatsForm" << QSize(477, 276);
    QTest::addRow("damage table editor") << "DamageTableForm" << QSize(278, 190);
}

void TestEditorLayout::clientSizes() {
    QFETCH(QString, window);
    QFETCH(QSize, size);
    QWidget* form = window == enemyForm->objectName() ? enemyForm.get() : tableForm.get();
    QCOMPARE(form->size(), size);
    QCOMPARE(form->minimumSize(), size);
    QCOMPARE(form->maximumSize(), size);
}

// Where the set box and the frame sit in their window, in pixels.
void TestEditorLayout::places_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("place");
    QTest::addRow("enemy editor DamageSetCombo") << "EnemyStatsForm"
                                                 << "DamageSetCombo" << QRect(376, 72, 41, 21);
    QTest::addRow("enemy editor DataFrame") << "EnemyStatsForm"
                                            << "DataFrame" << QRect(208, 120, 217, 113);
    QTest::addRow("damage table editor DamageSetCombo")
        << "DamageTableForm"
        << "DamageSetCombo" << QRect(88, 16, 41, 21);
    QTest::addRow("damage table editor DataFrame") << "DamageTableForm"
                                                   << "DataFrame" << QRect(32, 56, 217, 113);
}

void TestEditorLayout::places() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, place);
    QWidget* form = window == enemyForm->objectName() ? enemyForm.get() : tableForm.get();
    const auto* widget = form->findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
}

void TestEditorLayout::textsFit_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    const QStringList frameControls{"DataFrame", "Label2",  "Label3", "Label4",
                                    "Damage1",   "Damage2", "Damage3"};
    for (const QString& control :
         QStringList{"Label1", "ListOfEnemy", "Label6", "healthBox", "Label5", "DamageSetCombo"} +
             frameControls)
        QTest::addRow("enemy editor %s", qPrintable(control)) << "EnemyStatsForm" << control;
    for (const QString& control :
         QStringList{"DamageSetLabel", "DamageSetCombo", "Label1"} + frameControls)
        QTest::addRow("damage table editor %s", qPrintable(control))
            << "DamageTableForm" << control;
}

void TestEditorLayout::textsFit() {
    QFETCH(QString, window);
    QFETCH(QString, control);
    QWidget* form = window == enemyForm->objectName() ? enemyForm.get() : tableForm.get();
    const auto* widget = form->findChild<QWidget*>(control);
    QVERIFY(widget);
    QVERIFY(form->rect().contains(widget->geometry()) ||
            widget->parentWidget()->rect().contains(widget->geometry()));
    if (const QString reason = unmeasurableFont(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    const Fit fit = fitOf(widget);
    QVERIFY2(fit.needed.width() <= fit.available.width() &&
                 fit.needed.height() <= fit.available.height(),
             qPrintable(QStringLiteral("needs %1x%2, has %3x%4")
                            .arg(fit.needed.width())
                            .arg(fit.needed.height())
                            .arg(fit.available.width())
                            .arg(fit.available.height())));
    const QString text = widget->property("text").toString() + widget->property("title").toString();
    QVERIFY2(uncoveredCharacters(widget->font(), text).isEmpty(), qPrintable(text));
}

QTEST_MAIN(TestEditorLayout)
#include "tst_editor_layout.moc"
