#pragma once

#include "Core.h"

#include <QWidget>

class ByteBox;
class DamageRowFrame;
class DamageSetCombo;
class EnemyList;

// The enemy editor: lists the 256 enemy slots and edits the selected one's
// health and damage set. Lives inside a QMdiSubWindow of the main window.
class EnemyStatsForm : public QWidget {
    Q_OBJECT
public:
    explicit EnemyStatsForm(Core& core, QWidget* parent = nullptr);

    // Shows what memory holds for the selected slot: its health, its set
    // (over any typed set text) and the set's row. A value box being retyped
    // stays as it is.
    void refreshValues();
    // Refreshes the values when `change` names one the form shows.
    void tableChanged(const TableChange& change);
    // Selects the slot of a health or damage set field, and ends any
    // retyping of that field's box.
    void showField(const Field& field);

private:
    void createControls();
    void showFocusInList();
    void setFocusOrder();
    void connectHandlers();
    void load();
    void fillEnemyList();

    void ListOfEnemy_Click();
    void DamageSetCombo_Click();
    void healthBox_Change(Byte health);
    void keepSlotSelected();

    Byte slot() const;

    Core& core;
    EnemyList* enemyList;
    ByteBox* healthBox;
    DamageSetCombo* setCombo;
    DamageRowFrame* dataFrame;
};
