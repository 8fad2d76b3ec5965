#pragma once

#include <QProxyStyle>

// A style whose group box titles are as tall as the line their text takes.
// Windows' styles make the title as tall as the widget's font and cut what is
// taller: Japanese characters, drawn beside Arial in a fallback font with a
// taller line.
class GroupTitleStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;
};
