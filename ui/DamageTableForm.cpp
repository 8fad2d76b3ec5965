#include "DamageTableForm.h"

#include "ByteBox.h"
#include "Core.h"
#include "DamageRowFrame.h"
#include "DamageSetCombo.h"
#include "FormLayout.h"

#include <QLabel>

DamageTableForm::DamageTableForm(Core& core, QWidget* parent)
    : QWidget(parent), core(core), setCombo(new DamageSetCombo(this)),
      dataFrame(new DamageRowFrame(DamageRowFrame::Boxes::Editable, tr("Damage 0 Table"), this)) {
    setObjectName(QStringLiteral("DamageTableForm"));
    setWindowTitle(tr("Damage Table Editor"));
    setFixedSize(fromTwips(0, 0, 4170, 2850).size());

    createControls();
    setFocusOrder();
    connectHandlers();
}

void DamageTableForm::createControls() {
    nameBoxBy(addLabel(this, "DamageSetLabel", tr("Damage Set:"), fromTwips(240, 240, 975, 255)),
              setCombo, tr("Damage Set", "in full, for a screen reader"));
    setCombo->setGeometry(fromTwips(1320, 240, 615, 315));
    auto* warning = addLabel(this, "Label1", tr("be very careful with changing these values."),
                             fromTwips(2160, 240, 1695, 495));
    warning->setWordWrap(true);
    warning->setAccessibleName(tr("Warning: ") + warning->text());
    dataFrame->setGeometry(fromTwips(480, 840, 3255, 1695));
}

void DamageTableForm::setFocusOrder() {
    setFocusChain(
        {dataFrame->damageBox(1), dataFrame->damageBox(2), dataFrame->damageBox(3), setCombo});
}

void DamageTableForm::connectHandlers() {
    connect(setCombo, &DamageSetCombo::picked, this, &DamageTableForm::DamageSetCombo_Click);
    for (int armour = 1; armour <= 3; ++armour) {
        ByteBox* box = dataFrame->damageBox(armour);
        box->readStoredValueWith(
            [this, armour] { return storedRow().at(std::size_t(armour - 1)); });
        connect(box, &ByteBox::typed, this,
                [this, armour](Byte value) { Damage_Change(armour, value); });
    }
}

// Filling the boxes stores nothing: only a user's edit of a box does.
void DamageTableForm::refreshValues() {
    setCombo->showSetInUse();
    const Byte set = setCombo->setInUse();
    dataFrame->showRow(set, core.getDamageSet(set));
}

void DamageTableForm::tableChanged(const TableChange& change) {
    if (change.namesDamageSet(setCombo->setInUse()))
        refreshValues();
}

void DamageTableForm::showField(const Field& field) {
    const auto index = std::size_t(field.index);
    setCombo->showSet(static_cast<Byte>(places::setOfDamageTableByte(index)));
    refreshValues();
    dataFrame->damageBox(places::armourOfDamageTableByte(index))->showStoredValueIfEmpty();
}

// The row of the set the boxes show, the set in use: typing into the set
// combo alone changes nothing.
DamageRow DamageTableForm::storedRow() const {
    return core.getDamageSet(setCombo->setInUse());
}

void DamageTableForm::DamageSetCombo_Click() {
    refreshValues();
}

// The handler of a user's edit of Damage1 to Damage3 that gives a value; the
// box itself puts back its stored value in place of any other text.
void DamageTableForm::Damage_Change(int armour, Byte value) {
    core.setDamageTableByte(places::damageTableIndex(setCombo->setInUse(), armour), value);
}
