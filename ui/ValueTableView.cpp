#include "ValueTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
// Room above and below a row's text, in pixels.
constexpr int rowPadding = 3;

// A cell is edited in a plain text box, whatever its value's type, so that
// any text can be typed and the model judges it as the editors do.
class ValueCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QLineEdit(parent);
        box->setFrame(false);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        if (!text.isEmpty() && !model->setData(index, text))
            QApplication::beep();
    }
};
} // namespace

ValueTableView::ValueTableView(int shownRows, QWidget* parent)
    : QTableView(parent), shownRows(shownRows) {
    setItemDelegate(new ValueCellDelegate(this));
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2 * rowPadding);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addCellAction(tr("&Copy"), QKeySequence::Copy,
                  [this] { QApplication::clipboard()->setText(selectedCellsText()); });
}

void ValueTableView::offerPaste() {
    addCellAction(tr("&Paste"), QKeySequence::Paste,
                  [this] { emit pasteRequested(QApplication::clipboard()->text()); });
}

// The key works while the table has the focus, and not in a cell being
// edited, whose text box has its own.
void ValueTableView::addCellAction(const QString& text, QKeySequence::StandardKey key,
                                   const std::function<void()>& work) {
    auto* action = new QAction(text, this);
    action->setShortcuts(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, work);
    addAction(action);
}

// Worked out here rather than by Qt's AdjustToContents, which would lay out
// the whole window again at every change of a value.
QSize ValueTableView::sizeHint() const {
    const int frame = 2 * frameWidth();
    const int scrollBar = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
                              ? verticalScrollBar()->sizeHint().width()
                              : 0;
    const int rowsHeight = shownRows * verticalHeader()->defaultSectionSize();
    return {frame + scrollBar + horizontalHeader()->length(),
            frame + horizontalHeader()->sizeHint().height() + rowsHeight};
}

// Qt's item views give the current cell's place within their viewport, where
// a context menu opened from the keyboard, and an input method, take it
// within the view: the menu would come up a row higher, on the headings.
QVariant ValueTableView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle)
        return visualRect(currentIndex()).translated(viewport()->pos());
    return QTableView::inputMethodQuery(query);
}

void ValueTableView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState && (currentIndex().flags() & Qt::ItemIsEditable)) {
        edit(currentIndex());
        return;
    }
    QTableView::keyPressEvent(event);
}

QString ValueTableView::selectedCellsText() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    const auto [top, bottom] = std::ranges::minmax(selected, {}, &QModelIndex::row);
    const auto [left, right] = std::ranges::minmax(selected, {}, &QModelIndex::column);
    QStringList lines;
    for (int row = top.row(); row <= bottom.row(); ++row) {
        QStringList line;
        for (int column = left.column(); column <= right.column(); ++column) {
            const QModelIndex cell = model()->index(row, column);
            line << (selectionModel()->isSelected(cell) ? cell.data().toString() : QString());
        }
        lines << line.join(u'\t');
    }
    return lines.join(u'\n');
}

QList<QStringList> ValueTableView::cellsOf(const QString& text) {
    QStringList lines =
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    QList<QStringList> cells;
    for (const QString& line : lines)
        cells << line.split(u'\t');
    return cells;
}
