#pragma once

#include <QByteArray>
#include <QString>

class Core;
class QWidget;

// What the open editors of `mainWindow` show that the data store does not
// hold; empty when every box agrees with the store. The damage table editor's
// boxes must hold the row of the set its frame names, the enemy editor's health
// box the health of its selected slot. (The enemy editor's read-only damage
// boxes are not checked: the editors do not refresh each other.)
QString editorFault(const QWidget* mainWindow, const Core& core);

// Where a saved image differs from `original` other than by holding the data
// store's tables at their offsets; empty when it does not.
QString savedImageFault(const QByteArray& original, const QByteArray& saved, const Core& core);
