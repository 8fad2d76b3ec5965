#pragma once

#include "BackMDI.h"
#include "Core.h"
#include "GuiSupport.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>

// A run of the program on a scratch program directory: the store and the
// main window, shown.
struct MainWindowSession {
    explicit MainWindowSession(std::shared_ptr<FileSystem> fileSystem = realFileSystem());

    QAction* action(const char* name) const { return window.findChild<QAction*>(name); }
    QMenu* menu(const char* name) const { return window.findChild<QMenu*>(name); }
    QMdiArea* workspace() const { return window.findChild<QMdiArea*>(); }

    bool imageMenusOn() const;
    bool startMenusOn() const;

    // Opens the scratch image as a user does, through File, Open and the Open
    // dialog, and leaves the main window active. Returns whether it loaded
    // without a message.
    bool openImage();

    ScratchProgramDir dir;
    Core core;
    BackMDI window;
};
