// Windows' side of StopOnSignals.h: the editor has no console, so the one
// request to stop is the session ending.
#include "StopOnSignals.h"

#include "BackMDI.h"

#include <QGuiApplication>
#include <QSessionManager>

void holdStopSignals() {}

// A log-off or shutdown closes the window as Exit does: unsaved edits get the
// closing question, and a Cancel there keeps the session going.
void stopOnSignals(BackMDI& window) {
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager& manager) {
            if (window.hasUnsavedEdits() && !(manager.allowsInteraction() && window.close()))
                manager.cancel();
        });
}
