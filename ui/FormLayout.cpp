#include "FormLayout.h"

#include <QLabel>

namespace {
constexpr int twipsPerPixel = 15;
} // namespace

QRect fromTwips(int left, int top, int width, int height) {
    return {left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
            height / twipsPerPixel};
}

void place(QWidget* widget, const char* objectName, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setGeometry(geometry);
}

QLabel* addLabel(QWidget* parent, const char* objectName, const QString& text,
                 const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, objectName, geometry);
    return label;
}

void nameBoxBy(QLabel* label, QWidget* box) {
    QString name = label->text();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    nameBoxBy(label, box, name);
}

void nameBoxBy(QLabel* label, QWidget* box, const QString& name) {
    label->setBuddy(box);
    label->setAccessibleName(name);
    box->setAccessibleName(name);
}

void setFocusChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    (*widgets.begin())->setFocus();
}
