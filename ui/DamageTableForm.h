#pragma once

#include "Core.h"

#include <QWidget>

class DamageRowFrame;
class DamageSetCombo;

// The damage table editor: picks a damage set and edits its three values.
// Lives inside a QMdiSubWindow of the main window.
class DamageTableForm : public QWidget {
    Q_OBJECT
public:
    explicit DamageTableForm(Core& core, QWidget* parent = nullptr);

    // Shows the set in use in the set combo (over any typed text) and what
    // memory holds for its row. A value box being retyped stays as it is.
    void refreshValues();
    // Refreshes the values when `change` names one the form shows.
    void tableChanged(const TableChange& change);
    // Shows the set of a damage field, and ends any retyping of its box.
    void showField(const Field& field);

private:
    void createControls();
    void setFocusOrder();
    void connectHandlers();

    DamageRow storedRow() const;
    void DamageSetCombo_Click();
    void Damage_Change(int armour, Byte value);

    Core& core;
    DamageSetCombo* setCombo;
    DamageRowFrame* dataFrame;
};
