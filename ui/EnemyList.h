#pragma once

#include <QElapsedTimer>
#include <QListWidget>

// The enemy editor's list of slots, an item per slot: the slot in
// hexadecimal without a leading zero, " - " and the name ("1A - Iron Hound").
// Typing finds an item as Qt's lists do, by the start of its text (so by its
// slot), or else the next enemy whose name contains the letters typed so far,
// ignoring case.
class EnemyList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

    void addEnemy(const QString& slot, const QString& name);

    void keyboardSearch(const QString& search) override;

private:
    void findName(int fromRow);

    // What was typed in a row, each key within the desktop's interval of the
    // one before, as Qt's own search counts it.
    QString typed;
    QElapsedTimer sinceLastKey;
};
