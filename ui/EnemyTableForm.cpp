#include "EnemyTableForm.h"

#include "DamageSetTableModel.h"
#include "EnemyFilterModel.h"
#include "EnemyTableModel.h"
#include "FormLayout.h"
#include "ValueTableView.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

namespace {
// The enemy table shows this many rows at the window's opening size, the
// sets' table all of its 16.
constexpr int shownEnemyRows = 20;
// A name is shown at most this many average characters wide at opening,
// so that a long one in names.cfg does not make the window wider.
constexpr int widestNameCharacters = 30;
} // namespace

EnemyTableForm::EnemyTableForm(Core& core, QWidget* parent)
    : QWidget(parent), enemies(new EnemyTableModel(core, this)),
      shownEnemies(new EnemyFilterModel(this)), sets(new DamageSetTableModel(core, this)),
      findLabel(new QLabel(tr("Fi&nd:"), this)), filter(new QLineEdit(this)),
      count(new QLabel(this)), allSetsButton(new QPushButton(tr("&All Sets"), this)),
      enemyTable(new ValueTableView(shownEnemyRows, this)),
      setTable(new ValueTableView(int(places::setCount), this)) {
    setObjectName(QStringLiteral("EnemyTableForm"));
    setWindowTitle(tr("Enemy Table"));
    shownEnemies->setSourceModel(enemies);
    createControls();
    layOutControls();
    connectHandlers();
    showCount();
}

void EnemyTableForm::createControls() {
    findLabel->setObjectName(QStringLiteral("FindLabel"));
    nameBoxBy(findLabel, filter);
    filter->setObjectName(QStringLiteral("EnemyFilter"));
    filter->setAccessibleName(tr("Find enemies by name or slot"));
    filter->setPlaceholderText(tr("Name or slot"));
    filter->setClearButtonEnabled(true);
    count->setObjectName(QStringLiteral("EnemyCount"));
    fitCount();
    allSetsButton->setObjectName(QStringLiteral("AllSetsButton"));
    allSetsButton->setEnabled(false);

    enemyTable->setModel(shownEnemies);
    setUpTable(enemyTable, "EnemyTable", tr("Enemies"));
    enemyTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    enemyTable->setSortingEnabled(true);
    enemyTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    enemyTable->offerPaste();
    setTable->setModel(sets);
    setUpTable(setTable, "DamageSetTable", tr("Damage Sets"));
    setTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    setTable->setSelectionMode(QAbstractItemView::SingleSelection);
    fitColumns();
    setFocusChain({filter, allSetsButton, enemyTable, setTable});
    enemyTable->setFocus();
}

// The count keeps the size of its longest text, so that a new count, at
// every keystroke in the filter, lays out nothing again.
void EnemyTableForm::fitCount() {
    count->setText(countText(enemies->rowCount(), int(places::setCount) - 1));
    count->setFixedSize(count->sizeHint());
}

void EnemyTableForm::setUpTable(ValueTableView* table, const char* name,
                                const QString& accessibleName) {
    table->setObjectName(QLatin1String(name));
    table->setAccessibleName(accessibleName);
    table->horizontalHeader()->setHighlightSections(false);
}

// Every heading and value fits its column; a very long name is cut with "…".
void EnemyTableForm::fitColumns() {
    enemyTable->resizeColumnsToContents();
    setTable->resizeColumnsToContents();
    const int widestName = fontMetrics().averageCharWidth() * widestNameCharacters;
    if (enemyTable->columnWidth(EnemyTableModel::Name) > widestName)
        enemyTable->setColumnWidth(EnemyTableModel::Name, widestName);
}

// The filter above the tables; the enemy table takes the room the window
// gains when it is made larger.
void EnemyTableForm::layOutControls() {
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(findLabel);
    filterRow->addWidget(filter, 1);
    filterRow->addWidget(count);
    filterRow->addWidget(allSetsButton);
    auto* tables = new QHBoxLayout;
    tables->addWidget(enemyTable, 1);
    tables->addWidget(setTable);
    auto* form = new QVBoxLayout(this);
    form->addLayout(filterRow);
    form->addLayout(tables, 1);
}

void EnemyTableForm::connectHandlers() {
    connect(filter, &QLineEdit::textChanged, this, &EnemyTableForm::EnemyFilter_Change);
    new QShortcut(QKeySequence::Find, this, this, &EnemyTableForm::findEnemy,
                  Qt::WidgetWithChildrenShortcut);
    new QShortcut(Qt::Key_Escape, filter, filter, &QLineEdit::clear, Qt::WidgetShortcut);
    connect(setTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EnemyTableForm::DamageSetTable_Click);
    connect(allSetsButton, &QPushButton::clicked, this, &EnemyTableForm::AllSetsButton_Click);
    connect(enemyTable, &ValueTableView::pasteRequested, this, &EnemyTableForm::EnemyTable_Paste);
}

void EnemyTableForm::tableChanged(const TableChange& change) {
    enemies->showChange(change);
    sets->showChange(change);
    showCount();
}

void EnemyTableForm::EnemyFilter_Change(const QString& text) {
    shownEnemies->showNamesOrSlotsWith(text);
    showCount();
}

void EnemyTableForm::findEnemy() {
    filter->setFocus(Qt::ShortcutFocusReason);
    filter->selectAll();
}

void EnemyTableForm::DamageSetTable_Click() {
    const QModelIndexList chosen = setTable->selectionModel()->selectedRows();
    shownEnemies->showSet(chosen.isEmpty() ? std::nullopt : std::optional(chosen.first().row()));
    allSetsButton->setEnabled(!chosen.isEmpty());
    showCount();
}

void EnemyTableForm::AllSetsButton_Click() {
    setTable->clearSelection();
}

// A value refused anywhere leaves every cell as it was, and the main window
// says which and why.
void EnemyTableForm::EnemyTable_Paste(const QString& text) {
    const QList<QStringList> block = ValueTableView::cellsOf(text);
    QModelIndexList selected = enemyTable->selectionModel()->selectedIndexes();
    if (block.isEmpty() || selected.isEmpty())
        return;
    std::sort(selected.begin(), selected.end());
    const QString refusal = enemies->paste(pastedCells(block, selected));
    if (refusal.isEmpty())
        return;
    QMessageBox box(QMessageBox::Warning, tr("Paste"), refusal, QMessageBox::Ok, window());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// A block goes into the cells from the first selected one on, right and down
// as the enemies are shown; a single value goes into every selected cell.
QList<EnemyTableModel::PastedCell>
EnemyTableForm::pastedCells(const QList<QStringList>& block,
                            const QModelIndexList& selected) const {
    QList<EnemyTableModel::PastedCell> cells;
    if (block.size() == 1 && block.first().size() == 1) {
        for (const QModelIndex& cell : selected)
            cells.append({shownEnemies->mapToSource(cell), block.first().first()});
        return cells;
    }
    const QModelIndex first = selected.first();
    for (int row = 0; row < block.size(); ++row)
        for (int column = 0; column < block[row].size(); ++column) {
            const QModelIndex cell =
                shownEnemies->index(first.row() + row, first.column() + column);
            cells.append({shownEnemies->mapToSource(cell), block[row][column]});
        }
    return cells;
}

void EnemyTableForm::showCount() {
    count->setText(countText(shownEnemies->rowCount(), shownEnemies->setShown()));
}

// "42 of 256 enemies", and the set when only one set's enemies are shown.
QString EnemyTableForm::countText(int shown, std::optional<int> set) const {
    const int all = enemies->rowCount();
    if (set)
        return tr("%1 of %n enemies, set %2", nullptr, all).arg(shown).arg(*set);
    return tr("%1 of %n enemies", nullptr, all).arg(shown);
}
