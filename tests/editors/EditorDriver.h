#pragma once

#include "DamageSetCombo.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

// Finds the controls of an editor window by name and works them as a user
// does, from the keyboard or with the mouse.
class EditorDriver {
public:
    explicit EditorDriver(QWidget* form) : form(form) {}

    QLineEdit* damageBox(int armour) const {
        return form->findChild<QLineEdit*>(QStringLiteral("Damage%1").arg(armour));
    }
    DamageSetCombo* setCombo() const { return form->findChild<DamageSetCombo*>("DamageSetCombo"); }
    QGroupBox* dataFrame() const { return form->findChild<QGroupBox*>("DataFrame"); }
    QStringList damageTexts() const;

    // Opens the set list and clicks the item `set`.
    void pickFromList(int set) const;
    // Presses Down (or Up, for a negative count) in the set combo.
    void stepSet(int count) const;
    // Replaces the combo's text by typing, then presses `endingKey` (none: 0).
    void typeSetText(const QString& text, int endingKey) const;

private:
    QWidget* form;
};
