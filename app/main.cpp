#include "BackMDI.h"
#include "Core.h"
#include "DialogFont.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvon-addons"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVON_VERSION));
    // Lets the desktop match the window to the program's menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarvon.TarvonAddons"));
    applyDialogFont();
    const QString programDir = QCoreApplication::applicationDirPath();
    Core core(programDir.toStdString());
    BackMDI window(core, programDir);
    window.show();
    return app.exec();
}
