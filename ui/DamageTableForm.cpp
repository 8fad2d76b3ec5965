#include "DamageTableForm.h"

#include "Core.h"
#include "DamageRowFrame.h"
#include "DamageSetCombo.h"
#include "FormLayout.h"
#include "ValueCheck.h"

#include <QLabel>
#include <QLineEdit>

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
              setCombo);
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
        QLineEdit* box = dataFrame->damageBox(armour);
        connect(box, &QLineEdit::textEdited, this, [this, box] { Damage_Change(box); });
    }
}

// Filling the boxes stores nothing: only a user's edit of a box does.
void DamageTableForm::refreshValues() {
    setCombo->showSetInUse();
    const Byte set = setCombo->setInUse();
    dataFrame->showRow(set, core.getDamageSet(set));
}

// Writes the three boxes into the set they show, the set in use: typing into
// the set combo alone changes nothing.
void DamageTableForm::storeValues() {
    const auto value = [this](int armour) {
        return byteFromText(dataFrame->damageBox(armour)->text()).value_or(0);
    };
    core.setDamageSet(setCombo->setInUse(), value(1), value(2), value(3));
}

void DamageTableForm::DamageSetCombo_Click() {
    refreshValues();
}

// The handler of a user's edit of Damage1 to Damage3. A text that is no byte
// value becomes "0", and 0 is stored.
void DamageTableForm::Damage_Change(QLineEdit* box) {
    if (!byteFromText(box->text()))
        box->setText(QStringLiteral("0"));
    storeValues();
}
