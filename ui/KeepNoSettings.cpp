#include "KeepNoSettings.h"

#include <QSettings>

void keepNoSettings() {
#ifdef Q_OS_WIN
    const QString nowhere = QStringLiteral("NUL");
#else
    const QString nowhere = QStringLiteral("/dev/null");
#endif
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}
