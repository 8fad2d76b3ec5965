#include "MainWindowSession.h"

#include <QFileDialog>
#include <QTest>

MainWindowSession::MainWindowSession(std::shared_ptr<FileSystem> fileSystem)
    : core(dir.path().toStdString(), std::move(fileSystem)), window(core, dir.path()) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

bool MainWindowSession::imageMenusOn() const {
    return !action("OpenMenu")->isEnabled() && action("SaveMenu")->isEnabled() &&
           action("ToolsMenu")->isEnabled();
}

bool MainWindowSession::startMenusOn() const {
    return action("OpenMenu")->isEnabled() && !action("SaveMenu")->isEnabled() &&
           !action("ToolsMenu")->isEnabled() && !menu("ToolsMenu")->isEnabled();
}

bool MainWindowSession::openImage() {
    answerNextModal([this](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || !chooseFileInDialog(dialog, dir.imagePath()))
            modal->close();
    });
    action("OpenMenu")->trigger();
    return activateWindow(&window) && imageMenusOn();
}
