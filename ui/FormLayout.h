#pragma once

#include <QRect>
#include <QString>
#include <initializer_list>

class QLabel;
class QWidget;

// The editor windows place every control at a fixed position given in twips,
// 15 to a logical pixel.
QRect fromTwips(int left, int top, int width, int height);

// Names `widget` and puts it at `geometry` inside its parent.
void place(QWidget* widget, const char* objectName, const QRect& geometry);

// A caption aligned to the top left of its box, as dialog labels are.
QLabel* addLabel(QWidget* parent, const char* objectName, const QString& text,
                 const QRect& geometry);

// Makes `label` the caption of `box`: the label is its buddy, and a screen
// reader names the box by the label's text, without a closing colon.
void nameBoxBy(QLabel* label, QWidget* box);

// The same for a caption that a language shortens to fit ("Rüst. 1"): the
// screen reader says `name`, the caption in full, for the label and the box.
void nameBoxBy(QLabel* label, QWidget* box, const QString& name);

// Tab moves through `widgets` in the order given; the first one has the
// focus when the window is shown.
void setFocusChain(std::initializer_list<QWidget*> widgets);
