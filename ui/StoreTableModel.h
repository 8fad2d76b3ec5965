#pragma once

#include "Core.h"

#include <QAbstractTableModel>
#include <QList>

// A table of the store's values for the editors' views: a fixed number of
// rows and columns, some of them taking texts. Each text a cell takes is one
// step of the store's history.
class StoreTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    StoreTableModel(Core& core, int rows, int columns, QList<int> editableColumns,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Hands a text for an editable cell to `store`; false for a text it
    // refuses, which changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

protected:
    // Stores what `text` gives the cell at `index`, if it takes the text.
    virtual bool store(const QModelIndex& index, const QString& text) = 0;

    Core& core;

private:
    int rows;
    int columns;
    QList<int> editableColumns;
};
