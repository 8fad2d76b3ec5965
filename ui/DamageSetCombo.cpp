#include "DamageSetCombo.h"

#include "ProgramHistoryKeys.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace {
constexpr int listedSets = 10;
}

DamageSetCombo::DamageSetCombo(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("DamageSetCombo"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(listedSets + 1); // the list never scrolls
    for (int set = 0; set < listedSets; ++set)
        addItem(QString::number(set));
    connect(this, &QComboBox::activated, this, &DamageSetCombo::reportPick);
    useProgramHistory(lineEdit());
}

void DamageSetCombo::showSet(std::uint8_t set) {
    offerSet(set);
    inUse = set;
    showSetInUse();
}

// The list holds the sets 0 to 9, and a set above 9 while it is shown.
void DamageSetCombo::offerSet(std::uint8_t set) {
    if (count() > listedSets)
        removeItem(listedSets);
    if (set >= listedSets)
        addItem(QString::number(set));
}

void DamageSetCombo::showSetInUse() {
    const QString text = QString::number(inUse);
    setCurrentIndex(findText(text));
    if (currentText() != text)
        setEditText(text);
}

// Enter and the loss of focus make QComboBox look the typed text up among the
// items and report a match as activated; neither is a pick here.
void DamageSetCombo::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QScopedValueRollback ending(typedTextEnding, enter);
    QComboBox::keyPressEvent(event);
    if (enter || event->key() == Qt::Key_Escape)
        showSetInUse();
}

void DamageSetCombo::focusOutEvent(QFocusEvent* event) {
    const QScopedValueRollback ending(typedTextEnding, true);
    QComboBox::focusOutEvent(event);
    showSetInUse();
}

// A wheel turned over the window must not change an enemy's set by accident.
void DamageSetCombo::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void DamageSetCombo::reportPick(int index) {
    if (typedTextEnding)
        return;
    inUse = static_cast<std::uint8_t>(itemText(index).toUInt());
    emit picked();
}
