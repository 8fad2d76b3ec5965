#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>

class ByteBox;

// The frame of both editors that shows one damage row: the three armour
// levels' values of a damage set, under the caption "Damage <set> Table".
class DamageRowFrame : public QGroupBox {
    Q_OBJECT
public:
    enum class Boxes { ReadOnly, Editable };

    DamageRowFrame(Boxes boxes, const QString& caption, QWidget* parent = nullptr);

    // The value box of armour level 1, 2 or 3.
    ByteBox* damageBox(int armour) const;

    // Shows the values of armour levels 1 to 3 in `row`, the row of `set`;
    // a box being retyped stays as it is.
    void showRow(int set, const std::array<std::uint8_t, 3>& row);

private:
    std::array<ByteBox*, 3> boxes{};
};
