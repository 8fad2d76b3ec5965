#pragma once

#include <QGroupBox>
#include <array>

class Core;
class DamageSetCombo;
class QLineEdit;

// The frame of both editors that shows one damage row: the three armour
// levels' values of a damage set, under the caption "Damage <set> Table".
class DamageRowFrame : public QGroupBox {
    Q_OBJECT
public:
    enum class Boxes { ReadOnly, Editable };

    DamageRowFrame(Boxes boxes, const QString& caption, QWidget* parent = nullptr);

    // The value box of armour level 1, 2 or 3.
    QLineEdit* damageBox(int armour) const;
    // The set whose row the boxes show.
    int setShown() const { return shownSet; }

    // Shows the row of the set that `combo` names. A text that is no byte
    // value is put back to the set shown last. The set shown changes before
    // the boxes are filled.
    void showSetOf(DamageSetCombo& combo, const Core& core);

private:
    std::array<QLineEdit*, 3> boxes{};
    int shownSet = 0;
};
