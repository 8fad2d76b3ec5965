#include "BackMDI.h"
#include "Core.h"
#include "DialogFont.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    applyDialogFont();
    const QString programDir = QCoreApplication::applicationDirPath();
    Core core(programDir.toStdString());
    BackMDI window(core, programDir);
    window.show();
    return app.exec();
}
