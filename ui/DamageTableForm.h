#pragma once

#include <QWidget>

class Core;

// The damage table editor: picks a damage set and edits its three values.
// Lives inside a QMdiSubWindow of the main window.
class DamageTableForm : public QWidget {
    Q_OBJECT
public:
    explicit DamageTableForm(Core& core, QWidget* parent = nullptr);

    void refreshValues();
};
