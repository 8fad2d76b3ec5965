#pragma once

#include "StoreTableModel.h"

#include <utility>

// The enemies as the store holds them, a row per slot: its slot in two
// hexadecimal digits, name, health, damage set (the damage byte's low four
// bits) and the set's three values. Health and Damage Set take texts as the
// enemy editor does, each edit a step of the store's history. Every value is
// read from the store when asked for; showChange tells the views what to
// show again.
class EnemyTableModel : public StoreTableModel {
    Q_OBJECT
public:
    enum Column { Slot, Name, Health, DamageSet, Armor1, Armor2, Armor3, ColumnCount };

    explicit EnemyTableModel(Core& core, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A pasted value and its cell; an invalid cell lies below the last row.
    using PastedCell = std::pair<QModelIndex, QString>;
    // Stores every value as setData would, in the order given, as one step
    // of the history; or, when any cell refuses its value, stores nothing and
    // returns why. Returns an empty text when the values were stored.
    QString paste(const QList<PastedCell>& cells);

    // Tells the views which rows the store's `change` changed: the rows of
    // the healths and damage bytes it names, and the rows of the enemies
    // whose damage set's values it changed.
    void showChange(const TableChange& change);

protected:
    // Stores a health (a byte value) or a damage set (0 to 15, the damage
    // byte's upper four bits kept).
    bool store(const QModelIndex& index, const QString& text) override;

private:
    static std::size_t placeOf(const QModelIndex& index);
    static std::optional<Byte> byteFor(const QModelIndex& index, const QString& text, Byte before);
    QString refusal(const QModelIndex& index, const QString& text) const;
    static int alignmentOf(int column);
    QVariant value(Byte slot, int column) const;
};
