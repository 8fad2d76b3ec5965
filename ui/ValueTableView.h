#pragma once

#include <QList>
#include <QStringList>
#include <QTableView>
#include <functional>

// A table of the editors' values, as a spreadsheet works:
// - at its preferred size it shows all its columns and `shownRows` rows;
// - Enter, F2, a double click or typing into a cell edits it; the cell takes
//   the text when the editing ends (Enter, Tab or another cell), and a text
//   the model refuses leaves the value as it was and rings the desktop's bell
//   once, as the editors' boxes do; an emptied cell, or Escape, changes
//   nothing;
// - Ctrl+C, or Copy in its context menu, copies the selected cells as
//   tab-separated text, a line per row (selectedCellsText); where it offers
//   Paste, Ctrl+V or Paste hands the clipboard's text to `pasteRequested`;
//   the menu key opens the context menu on the current cell.
class ValueTableView : public QTableView {
    Q_OBJECT
public:
    explicit ValueTableView(int shownRows, QWidget* parent = nullptr);

    // Adds Paste to the context menu, and Ctrl+V.
    void offerPaste();

    // The selected cells as they are shown, within the smallest block that
    // holds them all; cells of that block that are not selected are empty.
    QString selectedCellsText() const;
    // The cells of a tab-separated text, by row; a last line ending is no row.
    static QList<QStringList> cellsOf(const QString& text);

    QSize sizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void pasteRequested(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addCellAction(const QString& text, QKeySequence::StandardKey key,
                       const std::function<void()>& work);

    int shownRows;
};
