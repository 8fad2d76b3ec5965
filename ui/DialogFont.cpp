#include "DialogFont.h"

#include <QApplication>
#include <QFont>

void applyDialogFont() {
#ifdef Q_OS_WIN
    // The system's own message font, which Qt takes as the default.
    QFont font = QApplication::font();
#else
    QFont font(QStringLiteral("Liberation Sans"));
#endif
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}
