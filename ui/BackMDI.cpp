#include "BackMDI.h"

#include "AboutForm.h"
#include "Core.h"
#include "DamageTableForm.h"
#include "EnemyStatsForm.h"
#include "EnemyTableForm.h"
#include "FieldText.h"
#include "StoreMessages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>

namespace {
// The workspace below the menu bar at start, in logical pixels.
constexpr QSize workspaceSize{594, 431};
// Room for the file details at their widest, and for the places' icons.
constexpr QSize fileDialogSize{780, 420};
constexpr int placeIconRoom = 40;
constexpr int columnPadding = 20;
// How long the image must be still before another program's change is read.
constexpr int outsideChangeDelayMs = 100;
// The widest size and date the Open dialog's details show.
constexpr qint64 widestFileSize = 1023.99 * 1024 * 1024;
const QDateTime widestDate(QDate(2026, 9, 30), QTime(23, 59, 59));
// The conflict question lists this many at the most, then a count.
constexpr std::size_t listedConflicts = 10;

// Does `work` under a busy cursor: a read or a save may wait a few seconds
// for another program's lock.
template <class Work> FileResult whileBusy(Work work) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return work();
}

// A text of Qt's own, in the language of Qt's translation.
QString qtText(const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
}

QString takenValuesText(std::size_t taken) {
    return BackMDI::tr("Took %n values changed by another program.", nullptr, int(taken));
}
} // namespace

BackMDI::BackMDI(Core& core, const QString& programDir, QWidget* parent)
    : QMainWindow(parent), core(core), programDir(programDir) {
    setWindowTitle(tr("Tarvon Add-ons"));
    setWindowIcon(QIcon(QStringLiteral(":/tarvon/icon16.png")));
    createWorkspace();
    createMenus();
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    core.setChangeListener([this](const TableChange& change) {
        emit tableChanged(change);
        emit tablesChanged();
    });
    connect(this, &BackMDI::tablesChanged, this, &BackMDI::updateMenus);
    watchForFocusMoves();
    updateMenus();
    setAcceptDrops(true);
    resize(workspaceSize +
           QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height()));
}

BackMDI::~BackMDI() {
    core.setChangeListener({});
}

void BackMDI::createWorkspace() {
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
}

// An edit step is one field's typing or picking while it keeps the focus: it
// ends when the focus moves to another control. A popup (a context menu, the
// set list) or another window taking the keyboard for a while ends nothing.
void BackMDI::watchForFocusMoves() {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window()->windowType() == Qt::Popup || now == lastFocus)
            return;
        lastFocus = now;
        core.closeEditStep();
    });
}

// Another program's writes are read once the image has been still for a
// moment, so that a program that writes in pieces is read once.
void BackMDI::watchImage() {
    imageWatcher = new QFileSystemWatcher(this);
    outsideChangeDelay = new QTimer(this);
    outsideChangeDelay->setSingleShot(true);
    outsideChangeDelay->setInterval(outsideChangeDelayMs);
    connect(imageWatcher, &QFileSystemWatcher::fileChanged, this, &BackMDI::imageChangedOnDisk);
    connect(imageWatcher, &QFileSystemWatcher::directoryChanged, this,
            &BackMDI::imageChangedOnDisk);
    connect(outsideChangeDelay, &QTimer::timeout, this, &BackMDI::readOutsideChanges);
    keepWatchingImage();
}

// A new dialog at each Open, so that it lists the folder as it is now and
// none of its popups, such as the file-name completion, outlives it. The
// first one starts in the program's folder, later ones in the folder of the
// file chosen last, with that file selected. Qt's own dialog, not the
// desktop's, so it looks and works the same everywhere. "All Files" uses "*"
// because Qt's "*.*" would hide names without a dot. Returns the chosen file,
// empty when cancelled.
QString BackMDI::chooseImageFile() {
    const QString startDir =
        chosenFile.isEmpty() ? programDir : QFileInfo(chosenFile).absolutePath();
    QFileDialog ComD(this, tr("Load File"), startDir);
    ComD.setObjectName(QStringLiteral("ComD"));
    ComD.setOption(QFileDialog::DontUseNativeDialog);
    ComD.setFileMode(QFileDialog::ExistingFile);
    ComD.setAcceptMode(QFileDialog::AcceptOpen);
    ComD.setNameFilters({tr("Velko 3 Rom (*.smc)"), tr("All Files (*)")});
    if (!chosenFile.isEmpty())
        ComD.selectFile(chosenFile);
    showFileDetailsUnclipped(ComD);
    if (ask(ComD) != QDialog::Accepted)
        return {};
    return ComD.selectedFiles().value(0);
}

// Qt's dialog sizes its columns and places list for short English words, which
// cuts off file types, dates and "Computer": give them the room they need, for
// the widest details as Qt words and formats them in the user's language and
// locale, and for the column's heading.
void BackMDI::showFileDetailsUnclipped(QFileDialog& dialog) {
    const QFontMetrics metrics = dialog.fontMetrics();
    auto roomFor = [&metrics](const QString& sample) {
        return metrics.horizontalAdvance(sample) + columnPadding;
    };
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QLocale locale = QLocale::system();
        const QStringList widestDetails = {
            QString(24, QLatin1Char('w')), locale.formattedDataSize(widestFileSize),
            QMimeDatabase()
                .mimeTypeForFile(QStringLiteral("image.smc"), QMimeDatabase::MatchExtension)
                .comment(),
            locale.toString(widestDate, QLocale::ShortFormat)};
        QHeaderView* header = details->header();
        for (int column = 0; column < widestDetails.size(); ++column) {
            const QString heading = header->model()->headerData(column, Qt::Horizontal).toString();
            header->resizeSection(column,
                                  std::max(roomFor(widestDetails[column]), roomFor(heading)));
        }
    }
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({roomFor(qtText("QFileSystemModel", "Computer")) + placeIconRoom,
                            fileDialogSize.width()});
    dialog.resize(dialog.sizeHint().expandedTo(fileDialogSize));
}

void BackMDI::createMenus() {
    FileMenu = addTopMenu("FileMenu", tr("&File"));
    OpenMenu = addMenuItem(FileMenu, "OpenMenu", tr("&Open"), &BackMDI::OpenMenu_Click,
                           QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveMenu = addMenuItem(FileMenu, "SaveMenu", tr("&Save"), &BackMDI::SaveMenu_Click,
                           QKeySequence(Qt::CTRL | Qt::Key_S));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("dash1"));
    ExitMenu = addMenuItem(FileMenu, "ExitMenu", tr("E&xit"), &BackMDI::ExitMenu_Click);

    EditMenu = addTopMenu("EditMenu", tr("&Edit"));
    UndoMenu = addMenuItem(EditMenu, "UndoMenu", tr("&Undo"), &BackMDI::UndoMenu_Click,
                           QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoMenu = addMenuItem(EditMenu, "RedoMenu", tr("&Redo"), &BackMDI::RedoMenu_Click);
    RedoMenu->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    ToolsMenu = addTopMenu("ToolsMenu", tr("&Tools"));
    DamagePointerEditorMenu =
        addMenuItem(ToolsMenu, "DamagePointerEditorMenu", tr("&Enemy Stat Editor"),
                    &BackMDI::DamagePointerEditorMenu_Click);
    EnemyDamageEditorMenu =
        addMenuItem(ToolsMenu, "EnemyDamageEditorMenu", tr("&Damage Table Editor"),
                    &BackMDI::EnemyDamageEditorMenu_Click);
    EnemyTableMenu = addMenuItem(ToolsMenu, "EnemyTableMenu", tr("Enemy &Table"),
                                 &BackMDI::EnemyTableMenu_Click);

    HelpMenu = addTopMenu("HelpMenu", tr("&Help"));
    AboutMenu = addMenuItem(HelpMenu, "AboutMenu", tr("&About..."), &BackMDI::AboutMenu_Click);
}

QMenu* BackMDI::addTopMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* BackMDI::addMenuItem(QMenu* menu, const char* name, const QString& caption,
                              void (BackMDI::*handler)(), const QKeySequence& shortcut) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

// Every enabled state of the menus follows from whether an image is loaded
// and what the edit history holds; the title's mark from unsaved edits.
void BackMDI::updateMenus() {
    ToolsMenu->menuAction()->setEnabled(imageLoaded);
    ToolsMenu->setEnabled(imageLoaded);
    OpenMenu->setEnabled(!imageLoaded);
    SaveMenu->setEnabled(imageLoaded);
    const std::optional<Field> undo = core.nextUndo();
    const std::optional<Field> redo = core.nextRedo();
    UndoMenu->setEnabled(undo.has_value());
    UndoMenu->setText(undo ? tr("&Undo %1").arg(fieldText(*undo)) : tr("&Undo"));
    RedoMenu->setEnabled(redo.has_value());
    RedoMenu->setText(redo ? tr("&Redo %1").arg(fieldText(*redo)) : tr("&Redo"));
    setWindowModified(imageLoaded && core.isModified());
}

// "game.smc[*] - Tarvon Add-ons": the file's name, and the mark of unsaved
// edits where the "[*]" stands.
void BackMDI::updateTitle(const QString& fileName) {
    setWindowTitle(tr("%1[*] - Tarvon Add-ons").arg(QFileInfo(fileName).fileName()));
}

QString BackMDI::imageName() const {
    return QFileInfo(imagePath).fileName();
}

void BackMDI::OpenMenu_Click() {
    const QString fileName = chooseImageFile();
    if (!fileName.isEmpty())
        openImageFile(fileName);
}

void BackMDI::openImageFile(const QString& fileName) {
    chosenFile = fileName; // the next Open dialog starts from this file
    openImage(fileName);
}

// Binds, tests and loads the image; the menus switch only once it is loaded.
// One run edits one image: once one is loaded, nothing else is opened.
void BackMDI::openImage(const QString& fileName) {
    if (imageLoaded)
        return;
    const FileResult load =
        whileBusy([&] { return core.openRom(QFile::encodeName(fileName).toStdString()); });
    if (!load) {
        showError(load);
        return;
    }
    imageLoaded = true;
    imagePath = fileName;
    updateTitle(fileName);
    updateMenus();
    watchImage();
    for (const QString& warning : loadWarnings(load))
        showMessage(tr("Warning"), warning);
}

void BackMDI::SaveMenu_Click() {
    save();
}

// True when the tables reached the file. Otherwise the edits stay in memory,
// Save stays available for another try, and the store's message says what
// became of the file (a file no longer the game too, unlike Open's message).
// Another program's changes are read only once the save is over.
bool BackMDI::save() {
    bool saved = false;
    {
        const QScopedValueRollback busy(saving, true);
        saved = saveMerging();
    }
    if (std::exchange(outsideReadPending, false))
        outsideChangeDelay->start();
    return saved;
}

// Another program's changes to bytes this program left alone are kept and
// taken in; where both changed a byte, the user chooses, with the file
// closed, and the save starts over, asking again about any new conflict.
bool BackMDI::saveMerging() {
    FileResult result = whileBusy([&] { return core.saveRom(Core::SaveMode::Merge); });
    while (result.kind == FileResult::Kind::Conflicts) {
        const std::optional<ConflictAnswer::Choice> choice = askAboutConflicts(result.conflicts);
        if (!choice)
            return false;
        const ConflictAnswer answer{*choice, result.conflicts};
        result = whileBusy([&] { return core.saveRom(Core::SaveMode::Merge, answer); });
    }
    if (!result) {
        showMessage(tr("Error"), failureText(result));
        return false;
    }
    if (result.takenValues > 0)
        statusBar()->showMessage(takenValuesText(result.takenValues));
    return true;
}

// Keep Mine or Take Theirs; nothing for Cancel, the default, and Escape,
// which keep the file as the other program left it.
std::optional<ConflictAnswer::Choice>
BackMDI::askAboutConflicts(const std::vector<Conflict>& conflicts) {
    const std::size_t count = conflicts.size();
    QString text = tr("Another program changed %n values in \"%1\" that you also changed:", nullptr,
                      int(count))
                       .arg(imageName());
    for (std::size_t i = 0; i < std::min(count, listedConflicts); ++i)
        text += u'\n' + conflictText(core, conflicts[i]);
    if (count > listedConflicts)
        text += u'\n' + tr("and %n more", nullptr, int(count - listedConflicts));
    QMessageBox box(QMessageBox::Warning, tr("Warning"), text, QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    QPushButton* keepMine = box.addButton(tr("&Keep Mine"), QMessageBox::AcceptRole);
    keepMine->setObjectName(QStringLiteral("KeepMineButton"));
    QPushButton* takeTheirs = box.addButton(tr("&Take Theirs"), QMessageBox::AcceptRole);
    takeTheirs->setObjectName(QStringLiteral("TakeTheirsButton"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    ask(box);
    if (box.clickedButton() == keepMine)
        return ConflictAnswer::Choice::KeepMine;
    if (box.clickedButton() == takeTheirs)
        return ConflictAnswer::Choice::TakeTheirs;
    return std::nullopt;
}

void BackMDI::ExitMenu_Click() {
    close();
}

void BackMDI::UndoMenu_Click() {
    if (const std::optional<Field> field = core.undo())
        showChangedField(*field, tr("Undid %1"));
}

void BackMDI::RedoMenu_Click() {
    if (const std::optional<Field> field = core.redo())
        showChangedField(*field, tr("Redid %1"));
}

// The status bar says what an undo or redo changed, and the editor that holds
// the field, if open, comes forward and shows it.
void BackMDI::showChangedField(const Field& field, const QString& whatHappened) {
    statusBar()->showMessage(whatHappened.arg(fieldText(field)));
    if (field.kind == Field::Kind::Damage)
        showFieldIn<DamageTableForm>(damageTableWindow, field);
    else if (field.kind != Field::Kind::AnotherProgram)
        showFieldIn<EnemyStatsForm>(enemyStatsWindow, field);
}

template <class Form>
void BackMDI::showFieldIn(QPointer<QMdiSubWindow>& window, const Field& field) {
    if (!window)
        return;
    mdiArea->setActiveSubWindow(window);
    static_cast<Form*>(window->widget())->showField(field);
}

// Closing the frame, by Exit, its border or Alt+F4, asks first when there are
// unsaved edits; a stop signal asks nothing.
void BackMDI::closeEvent(QCloseEvent* event) {
    if (!stopSignal && !maybeSave()) {
        event->ignore();
        return;
    }
    if (damageTableWindow)
        damageTableWindow->close();
    mdiArea->closeAllSubWindows();
    event->accept();
}

// True when closing may go on: nothing unsaved, Save saved, or Discard.
bool BackMDI::maybeSave() {
    if (!imageLoaded || !core.isModified())
        return true;
    QMessageBox box(QMessageBox::Warning, tr("Tarvon Add-ons"),
                    tr("Save the changes to \"%1\" before closing?").arg(imageName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    ask(box);
    if (box.clickedButton() == box.button(QMessageBox::Save))
        return save();
    return box.clickedButton() == box.button(QMessageBox::Discard);
}

void BackMDI::stopBySignal(int signalNumber) {
    stopSignal = signalNumber;
    if (imageLoaded && core.isModified())
        std::fprintf(stderr, "tarvon-addons: stopped by signal %d; unsaved edits were discarded\n",
                     signalNumber);
    QCoreApplication::exit(128 + signalNumber);
}

// After a rename over the image the watcher drops its path: the folder is
// watched instead until a file is there again.
void BackMDI::keepWatchingImage() {
    const QString folder = QFileInfo(imagePath).absolutePath();
    if (imageWatcher->files().isEmpty() && imageWatcher->addPath(imagePath))
        imageWatcher->removePath(folder);
    else if (imageWatcher->files().isEmpty() && imageWatcher->directories().isEmpty())
        imageWatcher->addPath(folder);
}

void BackMDI::imageChangedOnDisk() {
    keepWatchingImage();
    outsideChangeDelay->start();
}

// Takes in what another program changed where this program changed nothing;
// bytes both changed wait for Save. A file that cannot be read now, or is
// not the game, changes nothing.
void BackMDI::readOutsideChanges() {
    if (saving) {
        outsideReadPending = true;
        return;
    }
    const FileResult result = core.takeOutsideChanges();
    if (result.kind == FileResult::Kind::Busy) // being saved: read once it is done
        outsideChangeDelay->start();
    if (!result)
        return;
    QStringList said;
    if (result.takenValues > 0)
        said << takenValuesText(result.takenValues);
    if (const std::size_t both = result.conflicts.size(); both > 0)
        said << tr("Another program changed %n values you also changed; Save will ask.", nullptr,
                   int(both));
    if (!said.isEmpty())
        statusBar()->showMessage(said.join(u' '));
}

// None of the child controls takes a file, so a drag over any part of the
// window, the workspace and the editors included, ends up here.
void BackMDI::dragEnterEvent(QDragEnterEvent* event) {
    acceptDrag(event);
}

void BackMDI::dragMoveEvent(QDragMoveEvent* event) {
    acceptDrag(event);
}

// The drag source gets its answer before the image is opened, so that a
// message box cannot hold up the program the files came from. Of several
// files none is opened: the person is asked to choose one.
void BackMDI::dropEvent(QDropEvent* event) {
    if (!acceptDrag(event))
        return;
    const QList<QUrl> urls = event->mimeData()->urls();
    const QString fileName = urls.first().toLocalFile();
    QMetaObject::invokeMethod(
        this,
        [this, fileName, several = urls.size() > 1] {
            if (several)
                showMessage(tr("Warning"), tr("Drop one image at a time."));
            else
                openImage(fileName);
        },
        Qt::QueuedConnection);
}

// Takes the drag when it carries files to open, and says whether it did. A
// copy is the only action offered back, so that no file manager removes a
// file after a drop.
bool BackMDI::acceptDrag(QDropEvent* event) const {
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
// folder, while Open can be used.
bool BackMDI::carriesFiles(const QDropEvent* event) const {
    const QList<QUrl> urls = event->mimeData()->urls();
    const auto isFile = [](const QUrl& url) {
        return url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir();
    };
    return OpenMenu->isEnabled() && !urls.isEmpty() &&
           std::all_of(urls.begin(), urls.end(), isFile) &&
           event->possibleActions().testFlag(Qt::CopyAction);
}

void BackMDI::DamagePointerEditorMenu_Click() {
    showEditor<EnemyStatsForm>(enemyStatsWindow)->refreshValues();
}

void BackMDI::EnemyDamageEditorMenu_Click() {
    showEditor<DamageTableForm>(damageTableWindow)->refreshValues();
}

// The enemy table can be resized, unlike the editors; it opens at the size
// it asks for, even where that is larger than the workspace.
void BackMDI::EnemyTableMenu_Click() {
    if (!enemyTableWindow) {
        auto* form = new EnemyTableForm(core);
        connect(this, &BackMDI::tableChanged, form, &EnemyTableForm::showChange);
        enemyTableWindow = mdiArea->addSubWindow(form);
        enemyTableWindow->setAttribute(Qt::WA_DeleteOnClose);
        enemyTableWindow->setWindowIcon(windowIcon());
        enemyTableWindow->resize(enemyTableWindow->sizeHint());
    }
    enemyTableWindow->show();
    if (QWidget* leftAt = enemyTableWindow->widget()->focusWidget())
        leftAt->setFocus(Qt::OtherFocusReason);
    mdiArea->setActiveSubWindow(enemyTableWindow);
}

void BackMDI::AboutMenu_Click() {
    AboutForm about(this);
    ask(about);
}

// Shows the editor in `window`, creating it first if it is not open, and
// brings it forward with the focus on the control that had it last: a new
// editor's first control, or where the person left an open one. Left to
// itself, the workspace would give the focus to a control of its choosing.
template <class Form> Form* BackMDI::showEditor(QPointer<QMdiSubWindow>& window) {
    if (!window) {
        auto* form = new Form(core);
        connect(this, &BackMDI::tablesChanged, form, &Form::refreshValues);
        window = addEditorWindow(form);
    }
    window->show();
    if (QWidget* leftAt = window->widget()->focusWidget())
        leftAt->setFocus(Qt::OtherFocusReason);
    mdiArea->setActiveSubWindow(window);
    return static_cast<Form*>(window->widget());
}

// Editors keep the size they were designed at: a close button only, no
// resizing, and the window is discarded when closed.
QMdiSubWindow* BackMDI::addEditorWindow(QWidget* form) {
    const Qt::WindowFlags closeOnly = Qt::SubWindow | Qt::CustomizeWindowHint |
                                      Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                      Qt::WindowCloseButtonHint;
    QMdiSubWindow* window = mdiArea->addSubWindow(form, closeOnly);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    window->adjustSize();
    window->setFixedSize(window->size());
    offerOnlyMoveAndClose(window);
    return window;
}

// Qt's window menu also offers Size and Stay on Top, which a fixed-size editor
// inside the frame has no use for.
void BackMDI::offerOnlyMoveAndClose(QMdiSubWindow* window) {
    QMenu* menu = window->systemMenu();
    connect(menu, &QMenu::aboutToShow, menu, [menu] {
        const QStringList offered = {qtText("QMdiSubWindow", "&Move"),
                                     qtText("QMdiSubWindow", "&Close")};
        for (QAction* item : menu->actions())
            item->setVisible(offered.contains(item->text()));
    });
}

void BackMDI::showMessage(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    ask(box);
}

// Shows a dialog and waits for the answer; once a stop signal has come, no
// dialog is shown and the answer is Rejected.
int BackMDI::ask(QDialog& dialog) {
    return stopSignal ? int(QDialog::Rejected) : dialog.exec();
}

// A file that is not the game gets the one fixed message; every other failure
// is shown with the store's own explanation.
void BackMDI::showError(const FileResult& result) {
    const QString text = result.kind == FileResult::Kind::NotTheGame ? tr("This is not velko 3 rom")
                                                                     : failureText(result);
    showMessage(tr("Error"), text);
}
