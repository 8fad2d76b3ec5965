#include "DialogFont.h"

#include <QApplication>
#include <QFont>

void applyDialogFont() {
#ifdef Q_OS_WIN
    // Windows' own dialog font, which the system maps to its current face.
    QFont font(QStringLiteral("MS Shell Dlg 2"));
#else
    QFont font(QStringLiteral("Liberation Sans"));
#endif
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}
