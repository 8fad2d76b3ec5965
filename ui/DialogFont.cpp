#include "DialogFont.h"

#include <QApplication>
#include <QFont>

void applyDialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}
