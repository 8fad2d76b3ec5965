#pragma once

#include <QLineEdit>
#include <cstdint>
#include <functional>

// A value box of the editors: it holds a byte value, shown in decimal, and
// takes the user's edits keystroke by keystroke.
// - A text that is a byte value is reported by `typed` at once.
// - An emptied box reports nothing and stays empty while the user retypes;
//   when it is left (the focus goes to another control or a menu, or Enter)
//   it shows the stored value again.
// - Any other text is refused: the box shows the stored value again.
// - Escape in an emptied box shows the stored value again.
// A refused keystroke, a character that does not fit into a full box
// included, rings the desktop's bell once. Undo and Redo are the program's
// (see ProgramHistoryKeys.h), not the box's own.
class ByteBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ByteBox(QWidget* parent = nullptr);

    // How to read the value that the box stands for. An editable box needs it.
    void readStoredValueWith(std::function<std::uint8_t()> read);

    // Shows `value`, unless the box is being retyped (emptied, with the
    // focus) or already shows it, so that neither the retyping nor the
    // cursor is disturbed by a change made elsewhere.
    void showValue(std::uint8_t value);
    // Ends any retyping: an emptied box shows the stored value again.
    void showStoredValueIfEmpty();

signals:
    void typed(std::uint8_t value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void takeEdit(const QString& text);
    void refuse();
    void showStoredValue();

    std::function<std::uint8_t()> storedValue;
    bool editedByKey = false;
};
