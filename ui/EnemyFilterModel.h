#pragma once

#include <QSortFilterProxyModel>
#include <optional>

// The rows of an EnemyTableModel that a person asked to see, in the order
// asked for: those whose name or slot contains a text, ignoring case, and, if
// one is chosen, that use one damage set. Numbers sort as numbers, names as
// the user's language orders them; rows that sort alike stay in slot order.
class EnemyFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit EnemyFilterModel(QObject* parent = nullptr);

    void showNamesOrSlotsWith(const QString& text);
    // Shows only the enemies that use `set`, or, without one, every set's.
    void showSet(std::optional<int> set);
    std::optional<int> setShown() const { return set; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString text;
    std::optional<int> set;
};
