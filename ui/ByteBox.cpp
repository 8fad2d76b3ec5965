#include "ByteBox.h"

#include "Core.h"
#include "ProgramHistoryKeys.h"

#include <QApplication>
#include <QKeyEvent>

namespace {
constexpr int byteTextLength = 3;

// Whether the key would put its text into a box: a printable character,
// without Ctrl, Alt or Meta.
bool typesCharacter(const QKeyEvent* event) {
    constexpr Qt::KeyboardModifiers commandKeys =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString text = event->text();
    return !text.isEmpty() && text.front().isPrint() && !(event->modifiers() & commandKeys);
}
} // namespace

// Only typed text counts: dropped text, such as the path a file manager
// offers with a dragged file, would otherwise replace a value without a
// keystroke.
ByteBox::ByteBox(QWidget* parent) : QLineEdit(QStringLiteral("0"), parent) {
    setMaxLength(byteTextLength);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, &ByteBox::takeEdit);
    connect(this, &QLineEdit::returnPressed, this, &ByteBox::showStoredValueIfEmpty);
    useProgramHistory(this);
}

void ByteBox::readStoredValueWith(std::function<std::uint8_t()> read) {
    storedValue = std::move(read);
}

// A character that a full box does not take changes no text, so it is told
// apart here, after the box has had the key.
// A box whose whole text is selected, ready to be typed over, stays so.
void ByteBox::showValue(std::uint8_t value) {
    const bool retyping = hasFocus() && text().isEmpty();
    if (retyping || Core::byteFromText(text().toStdString()) == value)
        return;
    const bool wholeTextSelected = hasSelectedText() && selectedText() == text();
    setText(QString::number(value));
    if (wholeTextSelected)
        selectAll();
}

void ByteBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        showStoredValueIfEmpty();
    editedByKey = false;
    QLineEdit::keyPressEvent(event);
    if (!editedByKey && !isReadOnly() && typesCharacter(event))
        QApplication::beep();
}

// Retyping ends when the focus moves to another control or to a menu. It goes
// on while the box's own context menu is open, and while another window is
// active: the focus then comes back to the box.
void ByteBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const QWidget* popup = QApplication::activePopupWidget();
    if (isActiveWindow() && !(popup && popup->parentWidget() == this))
        showStoredValueIfEmpty();
}

// Each keystroke's text passes the store's value check, or is refused.
void ByteBox::takeEdit(const QString& text) {
    editedByKey = true;
    const std::string typedText = text.toStdString();
    if (Core::isByteText(typedText))
        emit typed(*Core::byteFromText(typedText));
    else if (!text.isEmpty())
        refuse();
}

void ByteBox::refuse() {
    QApplication::beep();
    showStoredValue();
}

void ByteBox::showStoredValueIfEmpty() {
    if (text().isEmpty())
        showStoredValue();
}

// A read-only box stands for no stored value of its own.
void ByteBox::showStoredValue() {
    if (storedValue)
        setText(QString::number(storedValue()));
}
