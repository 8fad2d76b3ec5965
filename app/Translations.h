#pragma once

#include <QString>

// Chooses the program's language once, at start, from the user's list of
// languages as Qt reads it (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): the first
// language the program ships, else English. Installs the program's own
// translation and Qt's for that language, so that Qt's dialogs and standard
// buttons speak it too, and returns its code ("de"). Needs the application
// object.
QString installTranslations();
