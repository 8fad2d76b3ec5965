#pragma once

#include "Core.h"

#include <QByteArray>
#include <QString>

class DamageTableForm;
class EnemyStatsForm;
class QLineEdit;
class QWidget;

// Checks, after each user event, that the open editors show what the data
// store holds. The damage table editor's boxes must hold the row of the set
// its frame names, the enemy editor's health box the health of its selected
// slot. A box may be empty while it has the focus in its window, as the user
// retypes it; the store must then still hold what the box showed before. (The
// enemy editor's read-only damage boxes are not checked: the editors do not
// refresh each other.)
class EditorCheck {
public:
    // What the open editors of `mainWindow` show that the store does not
    // hold; empty when every box agrees with the store.
    QString fault(const QWidget* mainWindow, const Core& core);

private:
    QString damageTableFault(const DamageTableForm* form, const Core& core);
    QString enemyFault(const EnemyStatsForm* form, const Core& core);
    QString boxFault(const QLineEdit* box, Byte stored, const QString& what, const QString& holder);
};

// Where a saved image differs from `original` other than by holding the data
// store's tables at their offsets; empty when it does not.
QString savedImageFault(const QByteArray& original, const QByteArray& saved, const Core& core);
