#include "DamageRowFrame.h"

#include "ByteBox.h"
#include "FormLayout.h"

DamageRowFrame::DamageRowFrame(Boxes kind, const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent) {
    setObjectName(QStringLiteral("DataFrame"));
    const std::array<const char*, 3> labelNames{"Label2", "Label3", "Label4"};
    const std::array<const char*, 3> boxNames{"Damage1", "Damage2", "Damage3"};
    const std::array<int, 3> lefts{360, 1320, 2280};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const QString armour = tr("Armor %1").arg(i + 1);
        auto* label = addLabel(this, labelNames[i], armour, fromTwips(lefts[i], 480, 615, 255));
        boxes[i] = new ByteBox(this);
        boxes[i]->setReadOnly(kind == Boxes::ReadOnly);
        place(boxes[i], boxNames[i], fromTwips(lefts[i], 960, 615, 285));
        nameBoxBy(label, boxes[i], tr("Armor %1", "in full, for a screen reader").arg(i + 1));
    }
}

ByteBox* DamageRowFrame::damageBox(int armour) const {
    return boxes.at(static_cast<std::size_t>(armour - 1));
}

void DamageRowFrame::showRow(int set, const std::array<std::uint8_t, 3>& row) {
    setTitle(tr("Damage %1 Table").arg(set));
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->showValue(row[i]);
}
