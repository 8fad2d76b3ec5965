#pragma once

#include <QMainWindow>
#include <QPointer>

class Core;
struct FileResult;
class QAction;
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
class BackMDI : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` is where the Open dialog starts.
    BackMDI(Core& core, const QString& programDir, QWidget* parent = nullptr);
    // Opens `fileName` as if it had been chosen in the Open dialog.
    void openImageFile(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createWorkspace();
    QString chooseImageFile();
    static void showFileDetailsUnclipped(QFileDialog& dialog);
    void createMenus();
    void updateMenus();

    void OpenMenu_Click();
    void SaveMenu_Click();
    void ExitMenu_Click();
    void DamagePointerEditorMenu_Click();
    void EnemyDamageEditorMenu_Click();
    void AboutMenu_Click();

    void openImage(const QString& fileName);
    bool askToOverwrite(const FileResult& changed);
    bool carriesFiles(const QDropEvent* event) const;
    bool acceptDrag(QDropEvent* event) const;

    QMenu* addTopMenu(const char* name, const QString& caption);
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         void (BackMDI::*handler)(), const QKeySequence& shortcut = {});
    template <class Form> Form* showEditor(QPointer<QMdiSubWindow>& window);
    QMdiSubWindow* addEditorWindow(QWidget* form);
    static void offerOnlyMoveAndClose(QMdiSubWindow* window);
    void showMessage(const QString& title, const QString& text);
    void showError(const FileResult& result);

    Core& core;
    const QString programDir;
    QString chosenFile;
    bool imageLoaded = false;

    QMdiArea* mdiArea = nullptr;
    QPointer<QMdiSubWindow> enemyStatsWindow;
    QPointer<QMdiSubWindow> damageTableWindow;

    QMenu* FileMenu = nullptr;
    QAction* OpenMenu = nullptr;
    QAction* SaveMenu = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* ToolsMenu = nullptr;
    QAction* DamagePointerEditorMenu = nullptr;
    QAction* EnemyDamageEditorMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* AboutMenu = nullptr;
};
