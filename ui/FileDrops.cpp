#include "FileDrops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QWidget>
#include <algorithm>

FileDrops::FileDrops(QWidget& window, std::function<bool()> canOpen)
    : QObject(&window), canOpen(std::move(canOpen)) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool FileDrops::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        acceptDrag(static_cast<QDropEvent*>(event));
        return true;
    case QEvent::Drop:
        drop(static_cast<QDropEvent*>(event));
        return true;
    default:
        return false;
    }
}

void FileDrops::drop(QDropEvent* event) {
    if (!acceptDrag(event))
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    const QString fileName = urls.first().toLocalFile();
    QMetaObject::invokeMethod(
        this,
        [this, fileName, several = urls.size() > 1] {
            if (several)
                emit severalFilesDropped();
            else
                emit fileDropped(fileName);
        },
        Qt::QueuedConnection);
}

// Takes the drag when it carries files to open, and says whether it did.
bool FileDrops::acceptDrag(QDropEvent* event) const {
    const bool taken = carriesFiles(event);
    if (taken) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return taken;
}

// Whether the drag carries local files and nothing else, none of them a
// folder, while a file may be opened.
bool FileDrops::carriesFiles(const QDropEvent* event) const {
    const QList<QUrl> urls = event->mimeData()->urls();
    const auto isFile = [](const QUrl& url) {
        return url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir();
    };
    return canOpen() && !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), isFile) &&
           event->possibleActions().testFlag(Qt::CopyAction);
}
