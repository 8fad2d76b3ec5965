#include "BackMDI.h"

#include "AboutForm.h"
#include "Core.h"
#include "EditHistory.h"
#include "EditorWindows.h"
#include "FileDrops.h"
#include "ImageSession.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {
// The workspace below the menu bar at start, in logical pixels.
constexpr QSize workspaceSize{594, 431};
} // namespace

BackMDI::BackMDI(Core& core, const QString& programDir, QWidget* parent)
    : QMainWindow(parent), core(core), questions(*this, core), fileDialogs(programDir) {
    setTitleAndIcon();
    createWorkspace();
    createMenus();
    createStatusLine();
    connectSession();
    acceptFileDrops();
    updateMenus();
    resizeToWorkspace();
}

BackMDI::~BackMDI() = default;

void BackMDI::setTitleAndIcon() {
    setWindowTitle(tr("Tarvon Add-ons"));
    setWindowIcon(QIcon(QStringLiteral(":/tarvon/icon16.png")));
}

void BackMDI::createWorkspace() {
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    editors = new EditorWindows(core, *mdiArea);
}

void BackMDI::createMenus() {
    FileMenu = addTopMenu("FileMenu", tr("&File"));
    OpenMenu = addMenuItem(FileMenu, "OpenMenu", tr("&Open"), &BackMDI::OpenMenu_Click,
                           QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveMenu = addMenuItem(FileMenu, "SaveMenu", tr("&Save"), &BackMDI::SaveMenu_Click,
                           QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAsMenu = addMenuItem(FileMenu, "SaveAsMenu", tr("Save &As..."), &BackMDI::SaveAsMenu_Click,
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("dash1"));
    ExitMenu = addMenuItem(FileMenu, "ExitMenu", tr("E&xit"), &BackMDI::ExitMenu_Click);

    EditMenu = addTopMenu("EditMenu", tr("&Edit"));
    history = new EditHistory(core, *EditMenu, this);

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

// A message longer than the status bar is wide wraps onto a second line
// instead of being cut off.
void BackMDI::createStatusLine() {
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusMessage = new QLabel(statusBar());
    statusMessage->setObjectName(QStringLiteral("statusMessage"));
    statusMessage->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(statusMessage, 1);
}

void BackMDI::connectSession() {
    session = new ImageSession(core, questions, this);
    connect(session, &ImageSession::opened, this, &BackMDI::showOpened);
    connect(session, &ImageSession::failed, this,
            [this](const QString& message) { questions.tell(tr("Error"), message); });
    connect(session, &ImageSession::warned, this,
            [this](const QString& message) { questions.tell(tr("Warning"), message); });
    connect(session, &ImageSession::statusChanged, this, &BackMDI::showStatus);
    connect(session, &ImageSession::tableChanged, editors, &EditorWindows::tableChanged);
    connect(session, &ImageSession::tableChanged, this, &BackMDI::updateMenus);
    connect(session, &ImageSession::modifiedChanged, this, &BackMDI::setWindowModified);
    connect(history, &EditHistory::fieldChanged, this, &BackMDI::showChangedField);
}

void BackMDI::acceptFileDrops() {
    auto* drops = new FileDrops(*this, [this] { return OpenMenu->isEnabled(); });
    connect(drops, &FileDrops::fileDropped, session, &ImageSession::open);
    connect(drops, &FileDrops::severalFilesDropped, this,
            [this] { questions.tell(tr("Warning"), tr("Drop one image at a time.")); });
}

// What the window keeps around the workspace (the menu bar, the status line and
// whatever room the style leaves between them) is measured from its laid-out
// children.
void BackMDI::resizeToWorkspace() {
    layout()->activate();
    resize(size() - mdiArea->size() + workspaceSize);
}

// Every enabled state of the menus follows from whether an image is loaded
// and what the edit history holds.
void BackMDI::updateMenus() {
    const bool imageLoaded = session->isOpen();
    ToolsMenu->menuAction()->setEnabled(imageLoaded);
    ToolsMenu->setEnabled(imageLoaded);
    OpenMenu->setEnabled(!imageLoaded);
    SaveMenu->setEnabled(imageLoaded);
    SaveAsMenu->setEnabled(imageLoaded);
    history->updateActions();
}

// "game.smc[*] - Tarvon Add-ons": the file's name, and the mark of unsaved
// edits where the "[*]" stands.
void BackMDI::showOpened(const QString& fileName) {
    setWindowTitle(tr("%1[*] - Tarvon Add-ons").arg(QFileInfo(fileName).fileName()));
    updateMenus();
}

void BackMDI::showStatus(const QString& message) {
    statusMessage->setWordWrap(statusMessage->fontMetrics().horizontalAdvance(message) >
                               statusMessage->contentsRect().width());
    statusMessage->setText(message);
}

// The status bar says what an undo or redo changed, and the editor that holds
// the field, if open, comes forward and shows it.
void BackMDI::showChangedField(const Field& field, const QString& whatHappened) {
    showStatus(whatHappened);
    editors->showField(field);
}

void BackMDI::OpenMenu_Click() {
    const QString fileName = fileDialogs.chooseImage(*this, questions);
    if (!fileName.isEmpty())
        openImageFile(fileName);
}

void BackMDI::openImageFile(const QString& fileName) {
    fileDialogs.remember(fileName);
    session->open(fileName);
}

bool BackMDI::hasUnsavedEdits() const {
    return session->hasUnsavedEdits();
}

void BackMDI::stopAsking() {
    stopping = true;
    questions.stopAsking();
}

void BackMDI::SaveMenu_Click() {
    session->save();
}

void BackMDI::SaveAsMenu_Click() {
    const QString fileName =
        fileDialogs.chooseNewFile(*this, questions, session->imagePath(), session->layout());
    if (!fileName.isEmpty())
        session->saveAs(fileName);
}

void BackMDI::ExitMenu_Click() {
    close();
}

// Closing the frame, by Exit, its border or Alt+F4, asks first when there are
// unsaved edits; a stop asks nothing.
void BackMDI::closeEvent(QCloseEvent* event) {
    if (!stopping && !session->mayClose()) {
        event->ignore();
        return;
    }
    editors->closeAll();
    event->accept();
}

void BackMDI::DamagePointerEditorMenu_Click() {
    editors->showEnemyEditor();
}

void BackMDI::EnemyDamageEditorMenu_Click() {
    editors->showDamageTableEditor();
}

void BackMDI::EnemyTableMenu_Click() {
    editors->showEnemyTable();
}

void BackMDI::AboutMenu_Click() {
    AboutForm about(this);
    questions.ask(about);
}
