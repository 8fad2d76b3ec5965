#pragma once

#include "Core.h"
#include "GuiSupport.h"

#include <QByteArray>
#include <QMap>
#include <QString>

class QWidget;

// A data store loaded from a synthetic image in a scratch program directory,
// with the image's bytes as they were before any edit.
class LoadedImage {
    ScratchProgramDir dir;

public:
    LoadedImage();

    Core core;
    const QByteArray original;

    // The byte of the untouched image at `offset`.
    Byte originalAt(qsizetype offset) const;
    // Saves the tables and returns every file byte that now differs from the
    // original, by offset.
    QMap<qsizetype, Byte> savedChanges();
};

qsizetype healthOffset(int slot);
qsizetype damageByteOffset(int slot);
qsizetype damageTableOffset(int index);

// Types `text` into `widget` one character at a time, as key presses that
// carry the character; '\b' presses Backspace.
void typeText(QWidget* widget, const QString& text);
// Selects the whole text of the focused line edit with Ctrl+A.
void selectAll(QWidget* widget);
