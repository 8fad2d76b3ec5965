#include "MainWindowSession.h"

#include "KeepNoSettings.h"

#include "ModalAnswerer.h"

#include <QTest>

MainWindowSession::MainWindowSession(std::shared_ptr<FileSystem> fileSystem)
    : core(dir.path().toStdString(), std::move(fileSystem)), window(core, dir.path()) {
    // As the program does at start: Qt's user settings, such as the file
    // dialog's history, are written nowhere.
    keepNoSettings();
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
    const ModalAnswerer answerer({dir.imagePath()});
    action("OpenMenu")->trigger();
    return answerer.boxes.isEmpty() && answerer.unexpected.isEmpty() && activateWindow(&window) &&
           imageMenusOn();
}
