#pragma once

#include "Core.h"
#include "ImageWatcher.h"

#include <QObject>
#include <QString>
#include <QStringList>

class SessionQuestions;

// One run's image: opening it, saving it with another program's changes
// merged in, and taking in what another program writes to it meanwhile. It
// asks its questions through SessionQuestions and tells what happened
// through its signals; the store's own changes come as tableChanged.
// One run edits one image: once one is open, no other is.
class ImageSession : public QObject {
    Q_OBJECT
public:
    ImageSession(Core& core, SessionQuestions& questions, QObject* parent = nullptr);
    ~ImageSession() override;

    bool isOpen() const { return !path.isEmpty(); }
    const QString& imagePath() const { return path; }
    // The image's file name without its folder.
    QString imageName() const;
    places::Layout layout() const { return core.layout().value_or(places::Layout::Headered); }
    bool hasUnsavedEdits() const { return isOpen() && core.isModified(); }

    void open(const QString& fileName);
    // True when the tables reached the file. Otherwise the edits stay in
    // memory and failed() says what became of the file.
    bool save();
    // Writes the image, with the tables in memory, to the new file
    // `fileName` and edits that file from then on; the image opened first
    // stays as it was. True when it did.
    bool saveAs(const QString& fileName);
    // True when closing may go on: nothing unsaved, Save saved, or Discard.
    bool mayClose();

signals:
    // The image being edited is now `fileName`: opened, or saved as.
    void opened(const QString& fileName);
    // An Open or a Save failed, as the message to show.
    void failed(const QString& message);
    // A load that worked found something worth saying.
    void warned(const QString& message);
    // What the status bar should say now about the image; empty when nothing
    // said before is still true.
    void statusChanged(const QString& message);
    void tableChanged(const TableChange& change);
    void modifiedChanged(bool modified);

private:
    void tellChange(const TableChange& change);
    bool saveMerging();
    void editFile(const QString& fileName);
    void readOutsideChanges();

    Core& core;
    SessionQuestions& questions;
    ImageWatcher watcher;
    QString path;
    // Whether the status bar was told of values both programs changed.
    bool conflictsSaid = false;
};
