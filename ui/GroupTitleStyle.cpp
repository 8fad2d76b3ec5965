#include "GroupTitleStyle.h"

#include <QStyleOptionGroupBox>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
// The height of `text` laid out on one line in `font`, fallback fonts included.
int lineHeight(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return int(std::ceil(line.height()));
}
} // namespace

QRect GroupTitleStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl part, const QWidget* widget) const {
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control == CC_GroupBox && part == SC_GroupBoxLabel && box && widget)
        rect.setHeight(std::max(rect.height(), lineHeight(box->text, widget->font())));
    return rect;
}
