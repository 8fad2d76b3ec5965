#pragma once

#include "Core.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QDialog;
class QFileSystemWatcher;
class QTimer;
class QFileDialog;
class QKeySequence;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The main window: a multiple-document frame whose menus carry every command.
// Until an image is loaded only Open, Exit and About can be used; after a load
// the editors can be opened and Open is gone for the rest of the run. An
// image file dropped onto the window opens as if chosen in the Open dialog,
// for as long as Open can be used; several files dropped at once are refused
// with a message.
//
// The title marks unsaved edits, closing asks about them, and Edit undoes and
// redoes them through the store's one history. Every open editor shows what
// memory holds after each change, whoever made it; the image is watched, and
// another program's changes to its tables are taken in where this program
// left those bytes alone.
class BackMDI : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` is where the Open dialog starts.
    BackMDI(Core& core, const QString& programDir, QWidget* parent = nullptr);
    ~BackMDI() override;

    // Opens `fileName` as if it had been chosen in the Open dialog.
    void openImageFile(const QString& fileName);

    // Ends the program at once for a stop signal, without asking anything:
    // a question on screen is dismissed and unsaved edits are discarded (and
    // said so on standard error). The program exits 128 + `signalNumber`.
    void stopBySignal(int signalNumber);

signals:
    // The tables in memory, or what the file is known to hold, changed.
    void tablesChanged();
    // The same, with what changed.
    void tableChanged(const TableChange& change);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createWorkspace();
    void watchForFocusMoves();
    void watchImage();
    QString chooseImageFile();
    static void showFileDetailsUnclipped(QFileDialog& dialog);
    void createMenus();
    void updateMenus();
    void updateTitle(const QString& fileName);

    void OpenMenu_Click();
    void SaveMenu_Click();
    void ExitMenu_Click();
    void UndoMenu_Click();
    void RedoMenu_Click();
    void DamagePointerEditorMenu_Click();
    void EnemyDamageEditorMenu_Click();
    void EnemyTableMenu_Click();
    void AboutMenu_Click();

    void openImage(const QString& fileName);
    bool save();
    bool saveMerging();
    std::optional<ConflictAnswer::Choice> askAboutConflicts(const std::vector<Conflict>& conflicts);
    bool maybeSave();
    void keepWatchingImage();
    void imageChangedOnDisk();
    void readOutsideChanges();
    void showChangedField(const Field& field, const QString& whatHappened);
    template <class Form> void showFieldIn(QPointer<QMdiSubWindow>& window, const Field& field);
    QString imageName() const;
    bool carriesFiles(const QDropEvent* event) const;
    bool acceptDrag(QDropEvent* event) const;

    QMenu* addTopMenu(const char* name, const QString& caption);
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         void (BackMDI::*handler)(), const QKeySequence& shortcut = {});
    template <class Form> Form* showEditor(QPointer<QMdiSubWindow>& window);
    QMdiSubWindow* addEditorWindow(QWidget* form);
    int ask(QDialog& dialog);
    static void offerOnlyMoveAndClose(QMdiSubWindow* window);
    void showMessage(const QString& title, const QString& text);
    void showError(const FileResult& result);

    Core& core;
    const QString programDir;
    QString chosenFile;
    QString imagePath; // of the image loaded
    bool imageLoaded = false;
    bool saving = false;
    bool outsideReadPending = false;
    int stopSignal = 0;
    QPointer<QWidget> lastFocus;
    QFileSystemWatcher* imageWatcher = nullptr;
    QTimer* outsideChangeDelay = nullptr;

    QMdiArea* mdiArea = nullptr;
    QPointer<QMdiSubWindow> enemyStatsWindow;
    QPointer<QMdiSubWindow> damageTableWindow;
    QPointer<QMdiSubWindow> enemyTableWindow;

    QMenu* FileMenu = nullptr;
    QAction* OpenMenu = nullptr;
    QAction* SaveMenu = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QAction* UndoMenu = nullptr;
    QAction* RedoMenu = nullptr;
    QMenu* ToolsMenu = nullptr;
    QAction* DamagePointerEditorMenu = nullptr;
    QAction* EnemyDamageEditorMenu = nullptr;
    QAction* EnemyTableMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* AboutMenu = nullptr;
};
