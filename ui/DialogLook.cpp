#include "DialogLook.h"

#include "GroupTitleStyle.h"

#include <QApplication>
#include <QFont>

void applyDialogLook() {
    // Over the style Qt would have chosen: -style, QT_STYLE_OVERRIDE, or the
    // system's own.
    QApplication::setStyle(new GroupTitleStyle);
#ifdef Q_OS_WIN
    // Every Windows has Arial. The system's own dialog font (Tahoma, Segoe
    // UI) is wider, and would cut texts; Wine has Liberation Sans.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
#else
    QFont font(QStringLiteral("Liberation Sans"));
#endif
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}
