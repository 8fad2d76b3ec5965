#include "EnemyList.h"

#include <QApplication>

namespace {
constexpr int nameRole = Qt::UserRole;
} // namespace

void EnemyList::addEnemy(const QString& slot, const QString& name) {
    auto* item = new QListWidgetItem(slot + QStringLiteral(" - ") + name, this);
    item->setData(nameRole, name);
}

// Qt's search moves to the next item whose text starts with what was typed,
// or stays where it is when none does; only then is a name looked for, from
// the current item on while the typing goes on, from the next one when it
// starts anew. Spaces alone find no name: Qt also searches for the space of
// Ctrl+Space, which selects.
void EnemyList::keyboardSearch(const QString& search) {
    const bool goesOn =
        sinceLastKey.isValid() && sinceLastKey.elapsed() <= QApplication::keyboardInputInterval();
    sinceLastKey.start();
    typed = goesOn ? typed + search : search;
    const int before = currentRow();
    QListWidget::keyboardSearch(search);
    if (currentRow() != before || !currentItem() || typed.trimmed().isEmpty() ||
        currentItem()->text().startsWith(typed, Qt::CaseInsensitive))
        return;
    findName(goesOn ? before : before + 1);
}

void EnemyList::findName(int fromRow) {
    for (int step = 0; step < count(); ++step) {
        const int row = (fromRow + step) % count();
        if (item(row)->data(nameRole).toString().contains(typed, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            return;
        }
    }
}
