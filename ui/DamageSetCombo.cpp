#include "DamageSetCombo.h"

#include "ValueCheck.h"

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
    for (int set = 0; set < listedSets; ++set)
        addItem(QString::number(set));
    connect(this, &QComboBox::activated, this, &DamageSetCombo::reportPick);
}

void DamageSetCombo::showSet(const QString& text) {
    setCurrentIndex(findText(text));
    setEditText(text);
}

std::uint8_t DamageSetCombo::chosenSet() {
    if (!byteFromText(currentText()))
        showSet(QString::number(lastChosen));
    lastChosen = *byteFromText(currentText());
    return lastChosen;
}

// Enter and the loss of focus make QComboBox look the typed text up among the
// items and report a match as activated; neither is a pick here.
void DamageSetCombo::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QScopedValueRollback ending(typedTextEnding, enter);
    QComboBox::keyPressEvent(event);
}

void DamageSetCombo::focusOutEvent(QFocusEvent* event) {
    const QScopedValueRollback ending(typedTextEnding, true);
    QComboBox::focusOutEvent(event);
}

// A wheel turned over the window must not change an enemy's set by accident.
void DamageSetCombo::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void DamageSetCombo::reportPick() {
    if (!typedTextEnding)
        emit picked();
}
