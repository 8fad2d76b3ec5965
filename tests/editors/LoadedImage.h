#pragma once

#include "Core.h"
#include "GuiSupport.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

class QWidget;

// The data store, counting the changes of its tables since its load.
class WriteCountingCore : public Core {
public:
    explicit WriteCountingCore(std::filesystem::path programDir) : Core(std::move(programDir)) {
        setChangeListener([this](const TableChange&) { ++writes; });
    }

    int writes = 0;
};

// A data store loaded from a synthetic image in a scratch program directory,
// with the image's bytes as they were before any edit.
class LoadedImage {
    ScratchProgramDir dir;

public:
    LoadedImage();

    WriteCountingCore core;
    const QByteArray original;

    // The byte of the untouched image at `offset`.
    Byte originalAt(qsizetype offset) const;
    // The values of damage set `set` in the untouched image, as the boxes
    // show them.
    QStringList originalRow(int set) const;
    // Saves the tables and returns every file byte that now differs from the
    // original, by offset.
    QMap<qsizetype, Byte> savedChanges();
};

qsizetype healthOffset(int slot);
qsizetype damageByteOffset(int slot);
qsizetype damageTableOffset(int index);

// The keystrokes written in `keys`: each character is one, and so is a key
// named in braces as QKeySequence names it, such as "{End}" or "{Ctrl+V}".
QStringList keystrokes(const QString& keys);
// Types `text` into `widget` one keystroke at a time, as key presses that
// carry the character; '\b' presses Backspace, and a key named in braces is
// pressed as it is.
void typeText(QWidget* widget, const QString& text);
// Selects the whole text of the focused line edit with Ctrl+A.
void selectAll(QWidget* widget);
