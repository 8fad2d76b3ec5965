#include "BackMDI.h"
#include "CommandLine.h"
#include "Core.h"
#include "DialogLook.h"
#include "KeepNoSettings.h"
#include "StopOnSignals.h"
#include "StopSignals.h"
#include "Translations.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    ignoreFileSizeSignal();
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;
    holdStopSignals();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvon-addons"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVON_VERSION));
    // Lets the desktop match the window to the program's menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarvon.TarvonAddons"));
    installTranslations();
    applyDialogLook();
    keepNoSettings();
    const QString programDir = QCoreApplication::applicationDirPath();
    Core core(pathOfUtf8(programDir.toStdString()));
    BackMDI window(core, programDir);
    stopOnSignals(window);
    window.show();
    openWhenShown(window, commandLine.image);
    return app.exec();
}
