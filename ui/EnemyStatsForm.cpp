#include "EnemyStatsForm.h"

#include "ByteBox.h"
#include "DamageRowFrame.h"
#include "DamageSetCombo.h"
#include "EnemyList.h"
#include "FormLayout.h"
#include "SlotText.h"

#include <QStyledItemDelegate>

namespace {

// Draws the selected row in the highlight colour only while it has the
// keyboard focus, and in the inactive colours otherwise.
class FocusShowingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!option->state.testFlag(QStyle::State_HasFocus))
            option->state.setFlag(QStyle::State_Active, false);
    }
};
} // namespace

EnemyStatsForm::EnemyStatsForm(Core& core, QWidget* parent)
    : QWidget(parent), core(core), enemyList(new EnemyList(this)), healthBox(new ByteBox(this)),
      setCombo(new DamageSetCombo(this)),
      dataFrame(new DamageRowFrame(DamageRowFrame::Boxes::ReadOnly, tr("Damage Done"), this)) {
    setObjectName(QStringLiteral("EnemyStatsForm"));
    setWindowTitle(tr("Enemy Damage Editor"));
    setFixedSize(fromTwips(0, 0, 7155, 4140).size());

    createControls();
    setFocusOrder();
    connectHandlers();
    load();
}

void EnemyStatsForm::createControls() {
    nameBoxBy(addLabel(this, "Label1", tr("Enemy"), fromTwips(240, 240, 975, 255)), enemyList);
    enemyList->setSelectionMode(QAbstractItemView::SingleSelection);
    showFocusInList();
    place(enemyList, "ListOfEnemy", fromTwips(240, 720, 2175, 2595));
    nameBoxBy(addLabel(this, "Label6", tr("Enemy Health"), fromTwips(3000, 480, 2415, 255)),
              healthBox);
    place(healthBox, "healthBox", fromTwips(5640, 480, 495, 285));
    nameBoxBy(addLabel(this, "Label5", tr("Enemy Damage Set:"), fromTwips(3000, 1080, 2415, 255)),
              setCombo);
    setCombo->setGeometry(fromTwips(5640, 1080, 615, 315));
    dataFrame->setGeometry(fromTwips(3120, 1800, 3255, 1695));
}

// The selected enemy stands out in the highlight colour while the list has the
// keyboard focus, and is shaded grey while the focus is elsewhere.
void EnemyStatsForm::showFocusInList() {
    QPalette palette = enemyList->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Midlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Text));
    enemyList->setPalette(palette);
    enemyList->setItemDelegate(new FocusShowingDelegate(enemyList));
}

void EnemyStatsForm::setFocusOrder() {
    setFocusChain({dataFrame->damageBox(3), dataFrame->damageBox(2), dataFrame->damageBox(1),
                   enemyList, setCombo, healthBox});
}

void EnemyStatsForm::connectHandlers() {
    connect(enemyList, &QListWidget::currentRowChanged, this, &EnemyStatsForm::ListOfEnemy_Click);
    connect(enemyList, &QListWidget::itemSelectionChanged, this, &EnemyStatsForm::keepSlotSelected);
    connect(setCombo, &DamageSetCombo::picked, this, &EnemyStatsForm::DamageSetCombo_Click);
    healthBox->readStoredValueWith([this] { return core.getEnemyHealth(slot()); });
    connect(healthBox, &ByteBox::typed, this, &EnemyStatsForm::healthBox_Change);
}

void EnemyStatsForm::load() {
    fillEnemyList();
    enemyList->setCurrentRow(0);
    refreshValues();
}

void EnemyStatsForm::fillEnemyList() {
    for (std::uint32_t slot = 0; slot < Core::enemyCount; ++slot) {
        const auto name = core.getEnemyName(static_cast<Byte>(slot));
        enemyList->addEnemy(QString::fromStdString(listSlot(slot)), QString::fromStdString(name));
    }
}

void EnemyStatsForm::refreshValues() {
    if (const Byte set = places::damageSetOf(core.getEnemyDamage(slot()));
        set != setCombo->setInUse())
        setCombo->showSet(set);
    else
        setCombo->showSetInUse();
    healthBox->showValue(core.getEnemyHealth(slot()));
    dataFrame->showRow(setCombo->setInUse(), core.getDamageSet(setCombo->setInUse()));
}

void EnemyStatsForm::tableChanged(const TableChange& change) {
    if (change.namesHealth(slot()) || change.namesDamageByte(slot()) ||
        change.namesDamageSet(setCombo->setInUse()))
        refreshValues();
}

void EnemyStatsForm::showField(const Field& field) {
    enemyList->setCurrentRow(field.index);
    if (field.kind == Field::Kind::Health)
        healthBox->showStoredValueIfEmpty();
}

void EnemyStatsForm::ListOfEnemy_Click() {
    keepSlotSelected();
    setCombo->showSet(places::damageSetOf(core.getEnemyDamage(slot())));
    healthBox->setText(QString::number(core.getEnemyHealth(slot())));
    refreshValues();
}

// The damage byte's high four bits are not the set's and stay as they are.
void EnemyStatsForm::DamageSetCombo_Click() {
    const Byte set = setCombo->setInUse();
    dataFrame->showRow(set, core.getDamageSet(set));
    core.setEnemyDamage(slot(), places::withDamageSet(core.getEnemyDamage(slot()), set));
}

// The handler of a user's edit that gives a health; the box itself puts back
// the stored health in place of any other text.
void EnemyStatsForm::healthBox_Change(Byte health) {
    core.setEnemyHealth(slot(), health);
}

// The current row is the slot being edited; a Ctrl+click or Ctrl+arrow must
// not leave it unselected.
void EnemyStatsForm::keepSlotSelected() {
    const QModelIndex current = enemyList->currentIndex();
    if (current.isValid() && !enemyList->selectionModel()->isSelected(current))
        enemyList->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
}

Byte EnemyStatsForm::slot() const {
    return static_cast<Byte>(enemyList->currentRow());
}
