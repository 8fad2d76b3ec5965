#include "DamageSetTableModel.h"

#include "DamageRowFrame.h"

DamageSetTableModel::DamageSetTableModel(Core& core, QObject* parent)
    : StoreTableModel(core, int(places::setCount), ColumnCount, {Armor1, Armor2, Armor3}, parent) {}

QVariant DamageSetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const int set = index.row();
    switch (index.column()) {
    case Set:
        return set;
    case Enemies:
        return enemiesUsing(set);
    default:
        return int(core.getDamageSet(set).at(std::size_t(index.column() - Armor1)));
    }
}

QVariant DamageSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (section >= Armor1 && section <= Armor3)
        return armourHeading(section - Armor1 + 1, role);
    if (role == Qt::AccessibleTextRole)
        return section == Set ? tr("Damage Set") : tr("Enemies Using the Set");
    if (role == Qt::DisplayRole)
        return section == Set ? tr("Set") : tr("Enemies");
    return {};
}

QVariant DamageSetTableModel::armourHeading(int armour, int role) {
    if (role == Qt::DisplayRole)
        return DamageRowFrame::tr("Armor %1").arg(armour);
    if (role == Qt::AccessibleTextRole)
        return tr("Damage at Armor %1").arg(armour);
    return {};
}

bool DamageSetTableModel::store(const QModelIndex& index, const QString& text) {
    const std::optional<Byte> byte = Core::byteFromText(text.toStdString());
    if (!byte)
        return false;
    const int armour = index.column() - Armor1 + 1;
    core.setDamageTableByte(places::damageTableIndex(std::size_t(index.row()), armour), *byte);
    return true;
}

int DamageSetTableModel::enemiesUsing(int set) const {
    int count = 0;
    for (std::size_t slot = 0; slot < places::enemyCount; ++slot)
        count += places::damageSetOf(core.getEnemyDamage(Byte(slot))) == set;
    return count;
}

void DamageSetTableModel::showChange(const TableChange& change) {
    for (std::size_t set = 0; set < places::setCount; ++set) {
        const auto changed = [&](int armour) {
            return change.places[places::ofDamageTableByte(places::damageTableIndex(set, armour))];
        };
        if (changed(1) || changed(2) || changed(3))
            emit dataChanged(index(int(set), Armor1), index(int(set), Armor3));
    }
    for (std::size_t slot = 0; slot < places::enemyCount; ++slot) {
        if (change.places[places::ofDamageByte(Byte(slot))]) {
            emit dataChanged(index(0, Enemies), index(int(places::setCount) - 1, Enemies));
            return;
        }
    }
}
