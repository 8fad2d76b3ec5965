#pragma once

#include "ImageFileDialogs.h"
#include "WindowQuestions.h"

#include <QMainWindow>

class Core;
class EditHistory;
class EditorWindows;
class ImageSession;
class QAction;
class QKeySequence;
class QLabel;
class QMdiArea;
class QMenu;

// The main window: a multiple-document frame whose menus carry every command.
// Until an image is loaded only Open, Exit and About can be used; after a load
// the editors can be opened and Open is gone for the rest of the run. An
// image file dropped onto the window opens as if chosen in the Open dialog,
// for as long as Open can be used.
//
// The window routes: the image session opens, saves and watches the image;
// the edit history undoes and redoes; the editor windows show the tables.
// The title marks unsaved edits and closing asks about them.
class BackMDI : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` is where the Open dialog starts.
    BackMDI(Core& core, const QString& programDir, QWidget* parent = nullptr);
    ~BackMDI() override;

    // Opens `fileName` as if it had been chosen in the Open dialog.
    void openImageFile(const QString& fileName);
    bool hasUnsavedEdits() const;
    // From now on no question is shown and closing asks nothing: the program
    // is being stopped.
    void stopAsking();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setTitleAndIcon();
    void createWorkspace();
    void createMenus();
    void createStatusLine();
    void connectSession();
    void acceptFileDrops();
    void resizeToWorkspace();
    void updateMenus();
    void showOpened(const QString& fileName);
    void showStatus(const QString& message);
    void showChangedField(const Field& field, const QString& whatHappened);

    void OpenMenu_Click();
    void SaveMenu_Click();
    void SaveAsMenu_Click();
    void ExitMenu_Click();
    void DamagePointerEditorMenu_Click();
    void EnemyDamageEditorMenu_Click();
    void EnemyTableMenu_Click();
    void AboutMenu_Click();

    QMenu* addTopMenu(const char* name, const QString& caption);
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         void (BackMDI::*handler)(), const QKeySequence& shortcut = {});

    Core& core;
    WindowQuestions questions;
    ImageFileDialogs fileDialogs;
    ImageSession* session = nullptr;
    EditHistory* history = nullptr;
    EditorWindows* editors = nullptr;
    bool stopping = false;

    QMdiArea* mdiArea = nullptr;
    QLabel* statusMessage = nullptr;
    QMenu* FileMenu = nullptr;
    QAction* OpenMenu = nullptr;
    QAction* SaveMenu = nullptr;
    QAction* SaveAsMenu = nullptr;
    QAction* ExitMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* ToolsMenu = nullptr;
    QAction* DamagePointerEditorMenu = nullptr;
    QAction* EnemyDamageEditorMenu = nullptr;
    QAction* EnemyTableMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* AboutMenu = nullptr;
};
