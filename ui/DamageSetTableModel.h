#pragma once

#include "StoreTableModel.h"

// The 16 damage sets as the store holds them, a row per set: its number, its
// three values, and how many enemies use it. The values take texts as the
// damage table editor does, each edit a step of the store's history.
class DamageSetTableModel : public StoreTableModel {
    Q_OBJECT
public:
    enum Column { Set, Armor1, Armor2, Armor3, Enemies, ColumnCount };

    explicit DamageSetTableModel(Core& core, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The heading of the column of armour level `armour` (1 to 3) in `role`:
    // the editors' caption, and for a screen reader what its values are.
    static QVariant armourHeading(int armour, int role);

    // Tells the views which rows the store's `change` changed: the sets whose
    // values it changed, and every count of enemies when it changed an
    // enemy's damage byte.
    void showChange(const TableChange& change);

protected:
    // Stores a value of armour level 1 to 3 when the text is a byte value.
    bool store(const QModelIndex& index, const QString& text) override;

private:
    int enemiesUsing(int set) const;
};
