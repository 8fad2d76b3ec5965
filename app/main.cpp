#include "BackMDI.h"
#include "CommandLine.h"
#include "Core.h"
#include "DialogFont.h"
#include "StopOnSignals.h"
#include "StopSignals.h"
#include "Translations.h"

#include <QApplication>
#include <QSettings>
#include <csignal>

int main(int argc, char* argv[]) {
    ignoreFileSizeSignal();
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;
    const sigset_t stopSet = stopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvon-addons"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVON_VERSION));
    // Lets the desktop match the window to the program's menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarvon.TarvonAddons"));
    installTranslations();
    applyDialogFont();
    // The program keeps no settings and writes no file but the image. Qt's
    // file dialog would keep its history and column widths in the user's
    // settings file; that file is pointed where none can be created, so the
    // dialog starts the same every run.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    const QString programDir = QCoreApplication::applicationDirPath();
    Core core(programDir.toStdString());
    BackMDI window(core, programDir);
    stopOnSignals(stopSet, window);
    window.show();
    openWhenShown(window, commandLine.image);
    return app.exec();
}
