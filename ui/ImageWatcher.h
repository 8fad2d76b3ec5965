#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QFileSystemWatcher;

// Watches the open image for another program's writes and says so once the
// file has been still for a moment, so that a program that writes in pieces
// is read once. After a rename over the image the path drops out of the
// system's watch: the folder is watched instead until a file is there again.
// While paused (a save and its questions), a change is held and said once
// watching resumes.
class ImageWatcher : public QObject {
    Q_OBJECT
public:
    explicit ImageWatcher(QObject* parent = nullptr);

    // Watches `imagePath`, in place of any file watched before.
    void watch(const QString& imagePath);
    void pause();
    void resume();
    // Says changed() again after the delay, as for a new change: the file
    // could not be read now.
    void tryAgainLater();

signals:
    void changed();

private:
    void keepWatching();
    void fileTouched();
    void stillForAMoment();

    QFileSystemWatcher* watcher = nullptr; // made at the first watch
    QTimer stillDelay;
    QString path;
    int pauses = 0;
    bool changeHeld = false;
};
