#include "StopOnSignals.h"

#include "BackMDI.h"

#include <QGuiApplication>
#include <QSessionManager>

// Windows has no stop signals to hold for a window program: Ctrl+C and the
// console closing reach only console programs.
void holdStopSignals() {}

// A log-off or shutdown asks each program first (WM_QUERYENDSESSION), which
// Qt passes on as commitDataRequest: unsaved edits get the closing question,
// whose Cancel keeps the session going.
void stopOnSignals(BackMDI& window) {
    QObject::connect(
        qGuiApp, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager& manager) {
            if (window.hasUnsavedEdits() && manager.allowsInteraction() && !window.close())
                manager.cancel();
        });
}
