#include "StoreTableModel.h"

StoreTableModel::StoreTableModel(Core& core, int rows, int columns, QList<int> editableColumns,
                                 QObject* parent)
    : QAbstractTableModel(parent), core(core), rows(rows), columns(columns),
      editableColumns(std::move(editableColumns)) {}

int StoreTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows;
}

int StoreTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns;
}

Qt::ItemFlags StoreTableModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (editableColumns.contains(index.column()))
        return flags | Qt::ItemIsEditable;
    return flags;
}

// Each edit is a step of its own, as the editors' edits are once the focus
// moves on.
bool StoreTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) ||
        !store(index, value.toString()))
        return false;
    core.closeEditStep();
    return true;
}
