#pragma once

#include "EnemyTableModel.h"

#include <QWidget>

class DamageSetTableModel;
class EnemyFilterModel;
class QLabel;
class QLineEdit;
class QPushButton;
class ValueTableView;

// The enemy table: every enemy at a glance, a row per slot, beside the 16
// damage sets and how many enemies use each. The enemies can be sorted by any
// column, found by name or slot, and shown for one damage set (the row chosen
// in the sets' table, until All Sets); healths, damage sets and the sets'
// values are edited in place, and blocks of healths and damage sets pasted.
// Lives inside a QMdiSubWindow of the main window, and can be resized.
class EnemyTableForm : public QWidget {
    Q_OBJECT
public:
    explicit EnemyTableForm(Core& core, QWidget* parent = nullptr);

    // Shows again the rows that the store's `change` changed.
    void tableChanged(const TableChange& change);

private:
    void createControls();
    void fitCount();
    void layOutControls();
    void setUpTable(ValueTableView* table, const char* name, const QString& accessibleName);
    void fitColumns();
    void connectHandlers();

    void EnemyFilter_Change(const QString& text);
    void DamageSetTable_Click();
    void AllSetsButton_Click();
    void EnemyTable_Paste(const QString& text);
    QList<EnemyTableModel::PastedCell> pastedCells(const QList<QStringList>& block,
                                                   const QModelIndexList& selected) const;
    void findEnemy();
    void showCount();
    QString countText(int shown, std::optional<int> set) const;

    EnemyTableModel* enemies;
    EnemyFilterModel* shownEnemies;
    DamageSetTableModel* sets;
    QLabel* findLabel;
    QLineEdit* filter;
    QLabel* count;
    QPushButton* allSetsButton;
    ValueTableView* enemyTable;
    ValueTableView* setTable;
};
