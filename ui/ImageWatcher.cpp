#include "ImageWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {
// How long the image must be still before another program's change is read.
constexpr int stillDelayMs = 100;
} // namespace

ImageWatcher::ImageWatcher(QObject* parent) : QObject(parent) {
    stillDelay.setSingleShot(true);
    stillDelay.setInterval(stillDelayMs);
    connect(&stillDelay, &QTimer::timeout, this, &ImageWatcher::stillForAMoment);
}

// A new path (after Save As) drops what the old one was doing.
void ImageWatcher::watch(const QString& imagePath) {
    path = imagePath;
    if (!watcher) {
        watcher = new QFileSystemWatcher(this);
        connect(watcher, &QFileSystemWatcher::fileChanged, this, &ImageWatcher::fileTouched);
        connect(watcher, &QFileSystemWatcher::directoryChanged, this, &ImageWatcher::fileTouched);
    }
    if (const QStringList watched = watcher->files() + watcher->directories(); !watched.isEmpty())
        watcher->removePaths(watched);
    stillDelay.stop();
    changeHeld = false;
    keepWatching();
}

void ImageWatcher::pause() {
    ++pauses;
}

void ImageWatcher::resume() {
    if (--pauses == 0 && std::exchange(changeHeld, false))
        stillDelay.start();
}

void ImageWatcher::tryAgainLater() {
    stillDelay.start();
}

void ImageWatcher::keepWatching() {
    const QString folder = QFileInfo(path).absolutePath();
    if (watcher->files().isEmpty() && watcher->addPath(path))
        watcher->removePath(folder);
    else if (watcher->files().isEmpty() && watcher->directories().isEmpty())
        watcher->addPath(folder);
}

void ImageWatcher::fileTouched() {
    keepWatching();
    stillDelay.start();
}

void ImageWatcher::stillForAMoment() {
    if (pauses > 0)
        changeHeld = true;
    else
        emit changed();
}
