#pragma once

#include <QObject>
#include <functional>

class QDropEvent;
class QWidget;

// Image files dropped onto a window, any part of it (none of its controls
// takes a file), while `canOpen` says a file may be opened. A copy is the
// only action offered back, so that no file manager removes a file after a
// drop. The drag source gets its answer before anything is opened, so that a
// message box cannot hold up the program the files came from.
class FileDrops : public QObject {
    Q_OBJECT
public:
    FileDrops(QWidget& window, std::function<bool()> canOpen);

signals:
    void fileDropped(const QString& fileName);
    // Of several files none is opened: the person is asked to choose one.
    void severalFilesDropped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool acceptDrag(QDropEvent* event) const;
    bool carriesFiles(const QDropEvent* event) const;
    void drop(QDropEvent* event);

    std::function<bool()> canOpen;
};
