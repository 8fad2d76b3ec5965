#pragma once

#include <QComboBox>
#include <cstdint>

// The damage set chooser of both editors: an editable combo with the sets 0
// to 9. It reports `picked` only when the user picks an item, from the
// drop-down list or by stepping with the arrow keys. Typing into its text,
// pressing Enter or leaving it reports nothing, although QComboBox on its own
// would take a typed item text as a choice there.
class DamageSetCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DamageSetCombo(QWidget* parent = nullptr);

    // Shows `text` as the set, without reporting a pick. Sets 10 to 15, which
    // are not in the list, are shown too.
    void showSet(const QString& text);

    // The set that the text names, which the editors then show. A text that
    // is no byte value is first put back to the set this returned last (0
    // before the first call).
    std::uint8_t chosenSet();
    // The set that chosenSet returned last.
    std::uint8_t lastChosenSet() const { return lastChosen; }

signals:
    void picked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void reportPick();

    bool typedTextEnding = false;
    std::uint8_t lastChosen = 0;
};
