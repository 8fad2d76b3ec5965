#pragma once

#include <QComboBox>
#include <cstdint>

// The damage set chooser of both editors: an editable combo with the sets 0
// to 9. It reports `picked` only when the user picks an item, from the
// drop-down list or by stepping with the arrow keys. Typing into its text,
// pressing Enter or leaving it reports nothing, although QComboBox on its own
// would take a typed item text as a choice there.
//
// The combo always comes back to the set in use: the one shown last, or
// picked last. Text typed and not picked is put back to it when the combo
// loses the focus, on Enter and on Escape.
class DamageSetCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DamageSetCombo(QWidget* parent = nullptr);

    // Shows `set` as the set in use, without reporting a pick. A set above 9
    // is added as the last item, so that the arrow keys step away from it and
    // back; it stays until showSet is called again.
    void showSet(std::uint8_t set);

    // The set in use, 0 before anything was shown or picked.
    std::uint8_t setInUse() const { return inUse; }
    // Puts back the text of the set in use over any typed text.
    void showSetInUse();

signals:
    void picked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void offerSet(std::uint8_t set);
    void reportPick(int index);

    bool typedTextEnding = false;
    std::uint8_t inUse = 0;
};
