#pragma once

#include <QCoreApplication>

// A text of Qt's own, in the language of Qt's translation; through a
// variable, so that it is not taken for one of the program's texts.
inline QString qtText(const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
}
