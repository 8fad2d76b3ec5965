#include "BackMDI.h"

#include "AboutForm.h"
#include "Core.h"
#include "DamageTableForm.h"
#include "EnemyStatsForm.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace {
// The workspace below the menu bar at start, in logical pixels.
constexpr QSize workspaceSize{594, 431};
// Room for the file details at their widest, and for the places' icons.
constexpr QSize fileDialogSize{780, 420};
constexpr int placeIconRoom = 40;
constexpr int columnPadding = 20;
} // namespace

BackMDI::BackMDI(Core& core, const QString& programDir, QWidget* parent)
    : QMainWindow(parent), core(core), programDir(programDir) {
    setWindowTitle(tr("Tarvon Add-ons"));
    setWindowIcon(QIcon(QStringLiteral(":/tarvon/icon16.png")));
    createWorkspace();
    createMenus();
    updateMenus();
    setAcceptDrops(true);
    resize(workspaceSize + QSize(0, menuBar()->sizeHint().height()));
}

void BackMDI::createWorkspace() {
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
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
    if (ComD.exec() != QDialog::Accepted)
        return {};
    return ComD.selectedFiles().value(0);
}

// Qt's dialog sizes its columns and places list for short English words, which
// cuts off file types, dates and "Computer": give them the room they need.
void BackMDI::showFileDetailsUnclipped(QFileDialog& dialog) {
    const QFontMetrics metrics = dialog.fontMetrics();
    auto roomFor = [&metrics](const QString& sample) {
        return metrics.horizontalAdvance(sample) + columnPadding;
    };
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QStringList widestDetails = {QString(24, QLatin1Char('w')), tr("1023.99 MiB"),
                                           tr("Super NES ROM image"), tr("30 Sept 2026 23:59:59")};
        for (int column = 0; column < widestDetails.size(); ++column)
            details->header()->resizeSection(column, roomFor(widestDetails[column]));
    }
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({roomFor(tr("Computer")) + placeIconRoom, fileDialogSize.width()});
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

    ToolsMenu = addTopMenu("ToolsMenu", tr("&Tools"));
    DamagePointerEditorMenu =
        addMenuItem(ToolsMenu, "DamagePointerEditorMenu", tr("&Enemy Stat Editor"),
                    &BackMDI::DamagePointerEditorMenu_Click);
    EnemyDamageEditorMenu =
        addMenuItem(ToolsMenu, "EnemyDamageEditorMenu", tr("&Damage Table Editor"),
                    &BackMDI::EnemyDamageEditorMenu_Click);

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

// Every enabled state of the menus follows from whether an image is loaded.
void BackMDI::updateMenus() {
    ToolsMenu->menuAction()->setEnabled(imageLoaded);
    ToolsMenu->setEnabled(imageLoaded);
    OpenMenu->setEnabled(!imageLoaded);
    SaveMenu->setEnabled(imageLoaded);
}

void BackMDI::OpenMenu_Click() {
    const QString fileName = chooseImageFile();
    if (fileName.isEmpty())
        return;
    chosenFile = fileName; // the next showing starts from this file
    openImage(fileName);
}

void BackMDI::openImageFile(const QString& fileName) {
    chosenFile = fileName;
    openImage(fileName);
}

// Binds, tests and loads the image; the menus switch only once it is loaded.
// One run edits one image: once one is loaded, nothing else is opened.
void BackMDI::openImage(const QString& fileName) {
    if (imageLoaded)
        return;
    const FileResult load = core.openRom(QFile::encodeName(fileName).toStdString());
    if (!load) {
        showError(load);
        return;
    }
    imageLoaded = true;
    updateMenus();
    if (!load.warning.empty())
        showMessage(tr("Warning"), QString::fromStdString(load.warning));
    if (!load.readOnlyWarning.empty())
        showMessage(tr("Warning"), QString::fromStdString(load.readOnlyWarning));
}

// Silent when the tables reached the file; otherwise the edits stay in memory,
// Save stays available for another try, and the store's message says what
// became of the file (a file no longer the game too, unlike Open's message).
// When another program changed the tables since they were loaded, the store
// has written nothing and closed the file; the user decides whether to
// replace that program's values.
void BackMDI::SaveMenu_Click() {
    FileResult result = core.saveRom();
    if (result.kind == FileResult::Kind::ChangedOnDisk) {
        if (!askToOverwrite(result))
            return;
        result = core.saveRom(Core::SaveMode::Overwrite);
    }
    if (!result)
        showMessage(tr("Error"), QString::fromStdString(result.reason));
}

// True when the user chooses to save over another program's changes; Cancel,
// the default, and Escape keep the file as that program left it.
bool BackMDI::askToOverwrite(const FileResult& changed) {
    QMessageBox box(QMessageBox::Warning, tr("Warning"),
                    QString::fromStdString(changed.reason) + u' ' +
                        tr("Save anyway and replace them with the values shown here?"),
                    QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    QPushButton* saveAnyway = box.addButton(tr("&Save Anyway"), QMessageBox::AcceptRole);
    saveAnyway->setObjectName(QStringLiteral("SaveAnywayButton"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == saveAnyway;
}

void BackMDI::ExitMenu_Click() {
    close();
}

// Closing the frame, by Exit or by its border, saves nothing and asks nothing.
void BackMDI::closeEvent(QCloseEvent* event) {
    if (damageTableWindow)
        damageTableWindow->close();
    mdiArea->closeAllSubWindows();
    event->accept();
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
    showEditor<EnemyStatsForm>(enemyStatsWindow);
}

void BackMDI::EnemyDamageEditorMenu_Click() {
    showEditor<DamageTableForm>(damageTableWindow)->refreshValues();
}

void BackMDI::AboutMenu_Click() {
    AboutForm about(this);
    about.exec();
}

// Shows the editor in `window`, creating it first if it is not open, and
// brings it forward with the focus on the control that had it last: a new
// editor's first control, or where the person left an open one. Left to
// itself, the workspace would give the focus to a control of its choosing.
template <class Form> Form* BackMDI::showEditor(QPointer<QMdiSubWindow>& window) {
    if (!window)
        window = addEditorWindow(new Form(core));
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
        const QStringList offered = {QMdiSubWindow::tr("&Move"), QMdiSubWindow::tr("&Close")};
        for (QAction* item : menu->actions())
            item->setVisible(offered.contains(item->text()));
    });
}

void BackMDI::showMessage(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// A file that is not the game gets the one fixed message; every other failure
// is shown with the store's own explanation.
void BackMDI::showError(const FileResult& result) {
    const QString text = result.kind == FileResult::Kind::NotTheGame
                             ? tr("This is not velko 3 rom")
                             : QString::fromStdString(result.reason);
    showMessage(tr("Error"), text);
}
