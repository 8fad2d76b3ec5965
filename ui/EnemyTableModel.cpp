#include "EnemyTableModel.h"

#include "DamageSetTableModel.h"
#include "FieldText.h"
#include "SlotText.h"

#include <bitset>

namespace {
std::optional<Byte> setFromText(const QString& text) {
    const std::optional<Byte> set = Core::byteFromText(text.toStdString());
    if (set && *set < places::setCount)
        return set;
    return std::nullopt;
}

Field fieldOf(const QModelIndex& index) {
    const auto kind =
        index.column() == EnemyTableModel::Health ? Field::Kind::Health : Field::Kind::DamageSet;
    return {kind, index.row()};
}
} // namespace

EnemyTableModel::EnemyTableModel(Core& core, QObject* parent)
    : StoreTableModel(core, int(places::enemyCount), ColumnCount, {Health, DamageSet}, parent) {}

// Numbers are given as numbers, so that they sort as numbers, and stand
// right-aligned.
QVariant EnemyTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return alignmentOf(index.column());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return value(Byte(index.row()), index.column());
    return {};
}

int EnemyTableModel::alignmentOf(int column) {
    if (column == Slot)
        return Qt::AlignCenter;
    return column == Name ? int(Qt::AlignLeft | Qt::AlignVCenter)
                          : int(Qt::AlignRight | Qt::AlignVCenter);
}

QVariant EnemyTableModel::value(Byte slot, int column) const {
    const Byte set = places::damageSetOf(core.getEnemyDamage(slot));
    switch (column) {
    case Slot:
        return QString::fromStdString(twoDigitSlot(slot));
    case Name:
        return QString::fromStdString(core.getEnemyName(slot));
    case Health:
        return int(core.getEnemyHealth(slot));
    case DamageSet:
        return int(set);
    default:
        return int(core.getDamageSet(set).at(std::size_t(column - Armor1)));
    }
}

// A first click on a heading sorts from the smallest value up.
QVariant EnemyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::InitialSortOrderRole)
        return Qt::AscendingOrder;
    if (section >= Armor1)
        return DamageSetTableModel::armourHeading(section - Armor1 + 1, role);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const std::array<QString, Armor1> headings{tr("Slot"), tr("Name"), tr("Health"),
                                               tr("Damage Set")};
    return headings.at(std::size_t(section));
}

bool EnemyTableModel::store(const QModelIndex& index, const QString& text) {
    const Byte slot = Byte(index.row());
    const std::optional<Byte> byte = byteFor(index, text, core.tableBytes()[placeOf(index)]);
    if (!byte)
        return false;
    if (index.column() == Health)
        core.setEnemyHealth(slot, *byte);
    else
        core.setEnemyDamage(slot, *byte);
    return true;
}

std::size_t EnemyTableModel::placeOf(const QModelIndex& index) {
    const Byte slot = Byte(index.row());
    return index.column() == Health ? places::ofHealth(slot) : places::ofDamageByte(slot);
}

// The byte that `text` makes of the cell's byte `before`.
std::optional<Byte> EnemyTableModel::byteFor(const QModelIndex& index, const QString& text,
                                             Byte before) {
    if (index.column() == Health)
        return Core::byteFromText(text.toStdString());
    if (const std::optional<Byte> set = setFromText(text))
        return places::withDamageSet(before, *set);
    return std::nullopt;
}

// A cell pasted after another that shares its byte (the health of F3 to FF is
// the damage byte of 00 to 0C) changes what the earlier one stored.
QString EnemyTableModel::paste(const QList<PastedCell>& cells) {
    image::TableBytes bytes = core.tableBytes();
    for (const auto& [index, text] : cells) {
        const QString value = text.trimmed();
        const bool takesValues = index.isValid() && (flags(index) & Qt::ItemIsEditable);
        const std::optional<Byte> byte =
            takesValues ? byteFor(index, value, bytes[placeOf(index)]) : std::nullopt;
        if (!byte)
            return refusal(index, value);
        bytes[placeOf(index)] = *byte;
    }
    if (!cells.isEmpty())
        core.setTableBytes(Field{Field::Kind::Paste, cells.first().first.row()}, bytes);
    return {};
}

QString EnemyTableModel::refusal(const QModelIndex& index, const QString& text) const {
    if (!index.isValid())
        return tr("Nothing was pasted: the values reach below the last row shown.");
    if (!(flags(index) & Qt::ItemIsEditable))
        return tr("Nothing was pasted: the column \"%1\" cannot be changed here; paste into Health "
                  "or Damage Set.")
            .arg(headerData(index.column(), Qt::Horizontal).toString());
    if (index.column() == Health)
        return tr("Nothing was pasted: %1 cannot be \"%2\"; a health is a number from 0 to 255.")
            .arg(fieldText(fieldOf(index)), text);
    return tr("Nothing was pasted: %1 cannot be \"%2\"; a damage set is a number from 0 to 15.")
        .arg(fieldText(fieldOf(index)), text);
}

void EnemyTableModel::showChange(const TableChange& change) {
    std::bitset<places::enemyCount> rows;
    std::bitset<places::setCount> sets;
    for (std::size_t place = 0; place < places::count; ++place) {
        if (!change.places[place])
            continue;
        if (places::isHealth(place))
            rows.set(places::healthSlot(place));
        if (places::isDamageByte(place))
            rows.set(places::damageSlot(place));
        if (places::isDamageTableByte(place) && place < places::firstLooseByte)
            sets.set(places::setOfDamageTableByte(place));
    }
    for (std::size_t slot = 0; slot < places::enemyCount && sets.any(); ++slot)
        if (sets[places::damageSetOf(core.getEnemyDamage(Byte(slot)))])
            rows.set(slot);
    for (int first = 0; first < int(rows.size()); ++first) {
        if (!rows[std::size_t(first)])
            continue;
        int last = first;
        while (last + 1 < int(rows.size()) && rows[std::size_t(last + 1)])
            ++last;
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
        first = last;
    }
}
