#include "EnemyFilterModel.h"

#include "EnemyTableModel.h"

EnemyFilterModel::EnemyFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
}

void EnemyFilterModel::showNamesOrSlotsWith(const QString& shown) {
    text = shown;
    invalidateRowsFilter();
}

void EnemyFilterModel::showSet(std::optional<int> shown) {
    set = shown;
    invalidateRowsFilter();
}

bool EnemyFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto cell = [&](int column) {
        return sourceModel()->index(sourceRow, column, sourceParent).data();
    };
    if (set && cell(EnemyTableModel::DamageSet).toInt() != *set)
        return false;
    return cell(EnemyTableModel::Name).toString().contains(text, Qt::CaseInsensitive) ||
           cell(EnemyTableModel::Slot).toString().contains(text, Qt::CaseInsensitive);
}

// Qt sorts in descending order by asking whether the right is less than the
// left: rows alike then come in slot order too.
bool EnemyFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (QSortFilterProxyModel::lessThan(left, right))
        return true;
    if (QSortFilterProxyModel::lessThan(right, left))
        return false;
    return (left.row() < right.row()) == (sortOrder() == Qt::AscendingOrder);
}
