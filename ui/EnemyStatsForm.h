#pragma once

#include "Core.h"

#include <QWidget>

class ByteBox;
class DamageRowFrame;
class DamageSetCombo;
class QListWidget;

// The enemy editor: lists the 256 enemy slots and edits the selected one's
// health and damage set. Lives inside a QMdiSubWindow of the main window.
class EnemyStatsForm : public QWidget {
    Q_OBJECT
public:
    explicit EnemyStatsForm(Core& core, QWidget* parent = nullptr);

    // Shows the set in use in the set combo, over any typed text, and its row.
    void refreshValues();

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
    QListWidget* enemyList;
    ByteBox* healthBox;
    DamageSetCombo* setCombo;
    DamageRowFrame* dataFrame;
};
