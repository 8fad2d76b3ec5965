#pragma once

#include <QWidget>

class Core;

// The enemy editor: lists the 256 enemy slots and edits the selected one's
// health and damage set. Lives inside a QMdiSubWindow of the main window.
class EnemyStatsForm : public QWidget {
    Q_OBJECT
public:
    explicit EnemyStatsForm(Core& core, QWidget* parent = nullptr);

    void refreshValues();
};
