#pragma once

#include "BackMDI.h"
#include "Core.h"
#include "GuiSupport.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QTest>

// A run of the program on a scratch program directory: the store and the
// main window, shown.
struct MainWindowSession {
    explicit MainWindowSession(std::shared_ptr<FileSystem> fileSystem = realFileSystem())
        : core(dir.path().toStdString(), std::move(fileSystem)), window(core, dir.path()) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QAction* action(const char* name) const { return window.findChild<QAction*>(name); }
    QMenu* menu(const char* name) const { return window.findChild<QMenu*>(name); }
    QMdiArea* workspace() const { return window.findChild<QMdiArea*>(); }

    bool imageMenusOn() const {
        return !action("OpenMenu")->isEnabled() && action("SaveMenu")->isEnabled() &&
               action("ToolsMenu")->isEnabled();
    }
    bool startMenusOn() const {
        return action("OpenMenu")->isEnabled() && !action("SaveMenu")->isEnabled() &&
               !action("ToolsMenu")->isEnabled() && !menu("ToolsMenu")->isEnabled();
    }

    ScratchProgramDir dir;
    Core core;
    BackMDI window;
};
