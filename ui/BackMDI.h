#pragma once

#include <QMainWindow>

class Core;

// The main window: a multiple-document frame whose menus carry every command.
class BackMDI : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` is where the Open dialog starts.
    BackMDI(Core& core, const QString& programDir, QWidget* parent = nullptr);
};
