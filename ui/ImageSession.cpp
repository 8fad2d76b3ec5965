#include "ImageSession.h"

#include "SessionQuestions.h"
#include "StoreMessages.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace {

// Does `work` under a busy cursor: a read or a save may wait a few seconds
// for another program's lock.
template <class Work> FileResult whileBusy(Work work) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return work();
}

QString takenValuesText(std::size_t taken) {
    return ImageSession::tr("Took %n values changed by another program.", nullptr, int(taken));
}

} // namespace

ImageSession::ImageSession(Core& core, SessionQuestions& questions, QObject* parent)
    : QObject(parent), core(core), questions(questions) {
    core.setChangeListener([this](const TableChange& change) { tellChange(change); });
    connect(&watcher, &ImageWatcher::changed, this, &ImageSession::readOutsideChanges);
}

ImageSession::~ImageSession() {
    core.setChangeListener({});
}

void ImageSession::tellChange(const TableChange& change) {
    emit tableChanged(change);
    if (change.modifiedFlipped)
        emit modifiedChanged(hasUnsavedEdits());
}

QString ImageSession::imageName() const {
    return QFileInfo(path).fileName();
}

// Binds, tests and loads the image; it is watched from then on.
void ImageSession::open(const QString& fileName) {
    if (isOpen())
        return;
    const FileResult load =
        whileBusy([&] { return core.openRom(QFile::encodeName(fileName).toStdString()); });
    if (!load) {
        emit failed(load.kind == FileResult::Kind::NotTheGame ? tr("This is not velko 3 rom")
                                                              : failureText(load));
        return;
    }
    editFile(fileName);
    if (core.layout() == places::Layout::Headerless)
        emit statusChanged(tr("Opened an image without a copier header."));
    for (const QString& warning : loadWarnings(load))
        emit warned(warning);
}

void ImageSession::editFile(const QString& fileName) {
    path = fileName;
    watcher.watch(path);
    emit opened(fileName);
}

// The store's message says what became of the file after a failed save (a
// file no longer the game too, unlike Open's message). Another program's
// changes are read only once the save and its questions are over.
bool ImageSession::save() {
    watcher.pause();
    const auto resume = qScopeGuard([this] { watcher.resume(); });
    return saveMerging();
}

// Another program's changes to bytes this program left alone are kept and
// taken in; where both changed a byte, the person chooses, with the file
// closed, and the save starts over, asking again about any new conflict.
bool ImageSession::saveMerging() {
    FileResult result = whileBusy([&] { return core.saveRom(Core::SaveMode::Merge); });
    while (result.kind == FileResult::Kind::Conflicts) {
        const std::optional<ConflictAnswer::Choice> choice =
            questions.askAboutConflicts(imageName(), result.conflicts);
        if (!choice)
            return false;
        const ConflictAnswer answer{*choice, result.conflicts};
        result = whileBusy([&] { return core.saveRom(Core::SaveMode::Merge, answer); });
    }
    if (!result) {
        emit failed(failureText(result));
        return false;
    }
    if (result.takenValues > 0 || std::exchange(conflictsSaid, false))
        emit statusChanged(result.takenValues > 0 ? takenValuesText(result.takenValues)
                                                  : QString());
    return true;
}

// The layout follows the new name: without a copier header for .sfc, with
// one for .smc, else the layout of the image being edited.
bool ImageSession::saveAs(const QString& fileName) {
    watcher.pause();
    const auto resume = qScopeGuard([this] { watcher.resume(); });
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const places::Layout newLayout = suffix == u"sfc"   ? places::Layout::Headerless
                                     : suffix == u"smc" ? places::Layout::Headered
                                                        : layout();
    const FileResult result = whileBusy(
        [&] { return core.saveRomAs(QFile::encodeName(fileName).toStdString(), newLayout); });
    if (result.kind == FileResult::Kind::TargetIsTheImage)
        return questions.askToSaveInstead(imageName()) && saveMerging();
    if (!result) {
        emit failed(saveAsFailureText(result, QFile::encodeName(path).toStdString()));
        return false;
    }
    editFile(fileName);
    return true;
}

bool ImageSession::mayClose() {
    if (!hasUnsavedEdits())
        return true;
    switch (questions.askBeforeClosing(imageName())) {
    case SessionQuestions::BeforeClosing::Save:
        return save();
    case SessionQuestions::BeforeClosing::Discard:
        return true;
    case SessionQuestions::BeforeClosing::Cancel:
        break;
    }
    return false;
}

// Takes in what another program changed where this program changed nothing;
// bytes both changed wait for Save. A file that cannot be read now, or is
// not the game, changes nothing; one being saved is read once that is done.
void ImageSession::readOutsideChanges() {
    const FileResult result = core.takeOutsideChanges();
    if (result.kind == FileResult::Kind::Busy)
        watcher.tryAgainLater();
    if (!result)
        return;
    const std::size_t both = result.conflicts.size();
    const QString taken = result.takenValues > 0 ? takenValuesText(result.takenValues) : QString();
    const QString conflicts =
        both > 0 ? tr("Another program changed %n values you also changed; Save will ask.", nullptr,
                      int(both))
                 : QString();
    if (taken.isEmpty() && conflicts.isEmpty() && !conflictsSaid)
        return;
    conflictsSaid = both > 0;
    QStringList said{taken, conflicts};
    said.removeAll(QString());
    emit statusChanged(sentencesText(said));
}
