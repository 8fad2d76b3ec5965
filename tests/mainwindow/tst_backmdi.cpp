#include "BackMDI.h"
#include "Core.h"
#include "FaultyFileSystem.h"
#include "GuiSupport.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"
#include "StoreMessages.h"
#include "SystemWords.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

namespace {
const QString notTheGame = QStringLiteral("This is not velko 3 rom");

// A run of the program on a scratch directory: the store and the main window.
using Session = MainWindowSession;

// What a second store says about `path`, to compare with what the window shows.
FileResult storeVerdict(const QString& programDir, const QString& path) {
    Core probe(programDir.toStdString());
    return probe.openRom(QFile::encodeName(path).toStdString());
}

QByteArray withByte(QByteArray bytes, qsizetype offset, char value) {
    bytes[offset] = value;
    return bytes;
}

QList<QMdiSubWindow*> windowsShowing(QMdiArea* workspace, const QString& formName) {
    QList<QMdiSubWindow*> found;
    for (QMdiSubWindow* window : workspace->subWindowList())
        if (window->widget() && window->widget()->objectName() == formName)
            found.append(window);
    return found;
}

QStringList visibleItems(const QMenu* menu) {
    QStringList items;
    for (const QAction* item : menu->actions())
        if (item->isVisible())
            items.append(item->text());
    return items;
}

void discardClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Moves an editor off where it starts: the enemy editor to slot 3, the damage
// table editor to set 4.
void moveOffStart(QWidget* form) {
    if (auto* list = form->findChild<QListWidget*>("ListOfEnemy")) {
        list->setCurrentRow(3);
        return;
    }
    auto* setCombo = form->findChild<QComboBox*>("DamageSetCombo");
    for (int step = 0; step < 4; ++step)
        QTest::keyClick(setCombo, Qt::Key_Down);
}

// Whether an editor is where it starts: slot 0, or set 0.
bool atStart(const QWidget* form) {
    if (auto* list = form->findChild<QListWidget*>("ListOfEnemy"))
        return list->currentRow() == 0;
    return form->findChild<QComboBox*>("DamageSetCombo")->currentText() == "0";
}

// Records the order in which watched windows are asked to close.
class CloseRecorder : public QObject {
public:
    QStringList closed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            if (auto* window = qobject_cast<QMdiSubWindow*>(watched); window && window->widget())
                closed.append(window->widget()->objectName());
        return false;
    }
};
} // namespace

class TestBackMDI : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useProgramLanguageAndFont(); }

    void menuTree_data();
    void menuTree();
    void startingWindow();
    void openDialogSettings();
    void cancelChangesNothing();
    void refusedFileThenRightOne_data();
    void refusedFileThenRightOne();
    void unreadableImage();
    void namesWarningAfterLoad_data();
    void namesWarningAfterLoad();
    void saveWritesTheEdits_data();
    void saveWritesTheEdits();
    void failedSaveKeepsEdits_data();
    void failedSaveKeepsEdits();
    void saveAsEditsTheNewFile_data();
    void saveAsEditsTheNewFile();
    void saveMergesChangesOnDisk_data();
    void saveMergesChangesOnDisk();
    void closingAsksAboutUnsavedEdits_data();
    void closingAsksAboutUnsavedEdits();
    void toolsOpenEachEditorOnce_data();
    void toolsOpenEachEditorOnce();
    void damageTableEditorShowsCurrentValues();
    void workspaceScrollsToCutOffEditors();
};

void TestBackMDI::menuTree_data() {
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabledAtStart");
    QTest::addColumn<int>("siblingCount");

    QTest::addRow("File") << "" << 0 << "FileMenu"
                          << "&File" << QKeySequence() << true << 4;
    QTest::addRow("Open") << "FileMenu" << 0 << "OpenMenu"
                          << "&Open" << QKeySequence("Ctrl+O") << true << 5;
    QTest::addRow("Save") << "FileMenu" << 1 << "SaveMenu"
                          << "&Save" << QKeySequence("Ctrl+S") << false << 5;
    QTest::addRow("Save As") << "FileMenu" << 2 << "SaveAsMenu"
                             << "Save &As..." << QKeySequence("Ctrl+Shift+S") << false << 5;
    QTest::addRow("separator") << "FileMenu" << 3 << "dash1"
                               << "" << QKeySequence() << true << 5;
    QTest::addRow("Exit") << "FileMenu" << 4 << "ExitMenu"
                          << "E&xit" << QKeySequence() << true << 5;
    QTest::addRow("Edit") << "" << 1 << "EditMenu"
                          << "&Edit" << QKeySequence() << true << 4;
    QTest::addRow("Undo") << "EditMenu" << 0 << "UndoMenu"
                          << "&Undo" << QKeySequence("Ctrl+Z") << false << 2;
    QTest::addRow("Redo") << "EditMenu" << 1 << "RedoMenu"
                          << "&Redo" << QKeySequence("Ctrl+Shift+Z") << false << 2;
    QTest::addRow("Tools") << "" << 2 << "ToolsMenu"
                           << "&Tools" << QKeySequence() << false << 4;
    QTest::addRow("Enemy Stat Editor") << "ToolsMenu" << 0 << "DamagePointerEditorMenu"
                                       << "&Enemy Stat Editor" << QKeySequence() << true << 3;
    QTest::addRow("Damage Table Editor") << "ToolsMenu" << 1 << "EnemyDamageEditorMenu"
                                         << "&Damage Table Editor" << QKeySequence() << true << 3;
    QTest::addRow("Enemy Table") << "ToolsMenu" << 2 << "EnemyTableMenu"
                                 << "Enemy &Table" << QKeySequence() << true << 3;
    QTest::addRow("Help") << "" << 3 << "HelpMenu"
                          << "&Help" << QKeySequence() << true << 4;
    QTest::addRow("About") << "HelpMenu" << 0 << "AboutMenu"
                           << "&About..." << QKeySequence() << true << 1;
}

void TestBackMDI::menuTree() {
    QFETCH(QString, parentName);
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabledAtStart);
    QFETCH(int, siblingCount);

    Session session;
    const QList<QAction*> siblings = parentName.isEmpty()
                                         ? session.window.menuBar()->actions()
                                         : session.menu(qPrintable(parentName))->actions();
    QCOMPARE(siblings.size(), siblingCount);
    QAction* item = siblings.at(position);
    QCOMPARE(item->objectName(), name);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->isSeparator(), name == "dash1");
    QCOMPARE(item->shortcut(), shortcut);
    QCOMPARE(item->isEnabled(), enabledAtStart);
}

void TestBackMDI::startingWindow() {
    Session session;
    QVERIFY(QTest::qWaitForWindowExposed(&session.window));
    QCOMPARE(session.window.windowTitle(), QStringLiteral("Tarvon Add-ons"));
    QVERIFY(session.workspace()->subWindowList().isEmpty());
    const QIcon icon = session.window.windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(!icon.pixmap(16, 16).toImage().allGray());
    // What the menu bar and the status line leave, in the program's font.
    if (const QString reason = unmeasurableFont(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    QCOMPARE(session.workspace()->size(), QSize(594, 431));
}

void TestBackMDI::openDialogSettings() {
    Session session;
    ModalAnswerer answerer;
    session.action("OpenMenu")->trigger();
    QCOMPARE(answerer.fileDialogs.size(), 1);
    const SeenFileDialog& dialog = answerer.fileDialogs.first();
    QCOMPARE(dialog.objectName, QStringLiteral("ComD"));
    QCOMPARE(dialog.title, QStringLiteral("Load File"));
    QCOMPARE(dialog.directory, QDir(session.dir.path()).absolutePath());
    QCOMPARE(dialog.nameFilters, QStringList({QStringLiteral("Velko 3 Rom (*.smc)"),
                                              QStringLiteral("Velko 3 Rom without header (*.sfc)"),
                                              QStringLiteral("All Files (*)")}));
    QCOMPARE(dialog.fileMode, QFileDialog::ExistingFile);
    QCOMPARE(dialog.acceptMode, QFileDialog::AcceptOpen);
    QVERIFY(dialog.qtDialog);
    // The dialog is gone once Open returns.
    QVERIFY(!session.window.findChild<QFileDialog*>());
}

void TestBackMDI::cancelChangesNothing() {
    Session session;
    const QByteArray before = session.dir.imageBytes();
    ModalAnswerer answerer({QString()});
    session.action("OpenMenu")->trigger();
    QCOMPARE(answerer.fileDialogs.size(), 1);
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(session.startMenusOn());
    QCOMPARE(session.dir.imageBytes(), before);
    QCOMPARE(session.window.windowTitle(), QStringLiteral("Tarvon Add-ons"));
}

void TestBackMDI::refusedFileThenRightOne_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fixedMessage"); // else the store's own reason

    const QByteArray image = syntheticImage();
    const qsizetype signature = Core::signatureOffset;
    QTest::addRow("wrong signature") << withByte(image, signature + 3, 0x00) << true;
    QTest::addRow("empty file") << QByteArray() << true;
    QTest::addRow("too short for the signature") << image.left(signature + 3) << true;
    QTest::addRow("right signature, too short for the tables")
        << image.left(Core::minimumImageSize - 1) << false;
}

void TestBackMDI::refusedFileThenRightOne() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fixedMessage);

    Session session;
    // Markup in the name must show as typed; the next showing of the dialog
    // starts in the folder of this file, not in the program's.
    QVERIFY(QDir(session.dir.path()).mkdir("elsewhere"));
#ifdef Q_OS_WIN
    // Windows allows no < or > in a name: the markup of its entities.
    const QString name = QStringLiteral("elsewhere/&lt;i&gt;other & more.smc");
#else
    const QString name = QStringLiteral("elsewhere/<i>other & more.smc");
#endif
    const QString refused = session.dir.writeFile(name, bytes);
    const QByteArray image = session.dir.imageBytes();
    {
        ModalAnswerer answerer({refused});
        session.action("OpenMenu")->trigger();
        QCOMPARE(answerer.boxes.size(), 1);
        const SeenBox box = answerer.boxes.first();
        QCOMPARE(box.title, QStringLiteral("Error"));
        const QString expected =
            fixedMessage ? notTheGame : failureText(storeVerdict(session.dir.path(), refused));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(box.text, expected);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.format, Qt::PlainText);
        QVERIFY(session.startMenusOn());
        QCOMPARE(readFileBytes(refused), bytes);
    }
    ModalAnswerer answerer({session.dir.imagePath()});
    session.action("OpenMenu")->trigger();
    QCOMPARE(answerer.fileDialogs.size(), 1);
    QCOMPARE(answerer.fileDialogs.first().directory, QFileInfo(refused).absolutePath());
    QCOMPARE(answerer.fileDialogs.first().selectedFiles, QStringList(refused));
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(session.imageMenusOn());
    QCOMPARE(session.dir.imageBytes(), image);
}

void TestBackMDI::unreadableImage() {
    auto fileSystem = std::make_shared<FaultyFileSystem>();
    Session session(fileSystem);
    fileSystem->refusedPath = QFile::encodeName(session.dir.imagePath()).toStdString();
    ModalAnswerer answerer({session.dir.imagePath()});
    session.action("OpenMenu")->trigger();
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes.first().title, QStringLiteral("Error"));
    QVERIFY2(answerer.boxes.first().text.contains("Permission denied"),
             qPrintable(answerer.boxes.first().text));
    QVERIFY(session.startMenusOn());
}

void TestBackMDI::namesWarningAfterLoad_data() {
    QTest::addColumn<bool>("namesPresent");
    QTest::addColumn<QByteArray>("names");
    QTest::addColumn<bool>("readOnly");

    const QByteArray threeNames("Slime\r\nBat\r\nGhost\r\n");
    QTest::addRow("names.cfg missing") << false << QByteArray() << false;
    QTest::addRow("three names only") << true << threeNames << false;
    QTest::addRow("read-only image") << true << QByteArray() << true;
    QTest::addRow("read-only image, three names only") << true << threeNames << true;
}

// Warnings after a load that worked: names.cfg's first, then a read-only
// image's; a full names.cfg and a writable image give none (see openImage).
void TestBackMDI::namesWarningAfterLoad() {
    QFETCH(bool, namesPresent);
    QFETCH(QByteArray, names);
    QFETCH(bool, readOnly);

    auto fileSystem = std::make_shared<FaultyFileSystem>();
    Session session(fileSystem);
    if (!namesPresent)
        QVERIFY(QFile::remove(QDir(session.dir.path()).filePath("names.cfg")));
    else if (!names.isEmpty())
        session.dir.writeFile("names.cfg", names);
    if (readOnly)
        fileSystem->readOnlyPath = QFile::encodeName(session.dir.imagePath()).toStdString();
    QStringList warnings = loadWarnings(storeVerdict(session.dir.path(), session.dir.imagePath()));
    if (readOnly)
        warnings.append('"' + session.dir.imagePath() +
                        "\" is read-only: you can look at the tables, but Save will fail until "
                        "the file can be written.");

    ModalAnswerer answerer({session.dir.imagePath()});
    session.action("OpenMenu")->trigger();
    QCOMPARE(answerer.boxes.size(), warnings.size());
    for (qsizetype i = 0; i < warnings.size(); ++i) {
        QCOMPARE(answerer.boxes[i].title, QStringLiteral("Warning"));
        QCOMPARE(answerer.boxes[i].text, warnings[i]);
        QCOMPARE(answerer.boxes[i].format, Qt::PlainText);
    }
    QVERIFY(session.imageMenusOn());
}

void TestBackMDI::saveWritesTheEdits_data() {
    QTest::addColumn<bool>("byShortcut");
    QTest::addRow("Save menu item") << false;
    QTest::addRow("Ctrl+S") << true;
}

void TestBackMDI::saveWritesTheEdits() {
    QFETCH(bool, byShortcut);

    Session session;
    QVERIFY(session.openImage());
    QByteArray expected = session.dir.imageBytes();
    auto changed = [&expected](qsizetype offset) {
        expected[offset] = static_cast<char>(expected[offset] ^ 0x5A);
        return static_cast<Byte>(expected[offset]);
    };
    session.core.setEnemyHealth(7, changed(Core::enemyHealthOffset + 7));
    session.core.setEnemyDamage(9, changed(Core::enemyDamageOffset + 9));
    const qsizetype row = Core::damageTableOffset + places::damageTableIndex(2, 1);
    const Byte armor1 = changed(row), armor2 = changed(row + 1), armor3 = changed(row + 2);
    session.core.setDamageSet(2, armor1, armor2, armor3);

    ModalAnswerer answerer;
    if (byShortcut) {
        QVERIFY(activateWindow(&session.window));
        QTest::keyClick(&session.window, Qt::Key_S, Qt::ControlModifier);
    } else {
        session.action("SaveMenu")->trigger();
    }
    QVERIFY(answerer.boxes.isEmpty());
    QCOMPARE(session.dir.imageBytes(), expected);
}

// Save As writes the image with the edits to a new file in the layout its
// name asks for, then edits that file; it never writes over the open image,
// offering Save instead.
void TestBackMDI::saveAsEditsTheNewFile_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QStringList>("buttons"); // pressed in the questions, in turn
    QTest::addColumn<QString>("written");     // "copy", "image" or "" for nothing
    QTest::addColumn<QString>("title");

    QTest::addRow("to .sfc, without the copier header")
        << "copy.sfc" << false << QStringList() << "copy"
        << "copy.sfc[*] - Tarvon Add-ons";
    QTest::addRow("over another file, after Qt's question")
        << "copy.smc" << true << QStringList{"Yes"} << "copy"
        << "copy.smc[*] - Tarvon Add-ons";
    QTest::addRow("the open image: Cancel")
        << "game.smc" << true << QStringList{"Yes", "Cancel"} << ""
        << "game.smc[*] - Tarvon Add-ons";
    QTest::addRow("the open image: Save")
        << "game.smc" << true << QStringList{"Yes", "Save"} << "image"
        << "game.smc[*] - Tarvon Add-ons";
}

void TestBackMDI::saveAsEditsTheNewFile() {
    QFETCH(QString, target);
    QFETCH(bool, exists);
    QFETCH(QStringList, buttons);
    QFETCH(QString, written);
    QFETCH(QString, title);

    Session session;
    QVERIFY(session.openImage());
    const QByteArray original = session.dir.imageBytes();
    const QString targetPath = QDir(session.dir.path()).filePath(target);
    if (exists && target != "game.smc")
        session.dir.writeFile(target, "another program's file");
    session.core.setEnemyHealth(7, Byte(original[Core::enemyHealthOffset + 7] ^ 0x5A));
    const QByteArray edited = withByte(original, Core::enemyHealthOffset + 7,
                                       char(original[Core::enemyHealthOffset + 7] ^ 0x5A));
    {
        ModalAnswerer answerer({targetPath});
        answerer.buttonsToPress = buttons;
        session.action("SaveAsMenu")->trigger();
        QCOMPARE(answerer.fileDialogs.value(0).objectName, QStringLiteral("SaveAsDialog"));
        QVERIFY(answerer.buttonsToPress.isEmpty());
        // Only the questions the row answers: no message of a failure.
        QCOMPARE(answerer.boxes.size(), buttons.size());
    }
    QCOMPARE(session.dir.imageBytes(), written == "image" ? edited : original);
    if (written == "copy") {
        QFile file(targetPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), target.endsWith(".sfc") ? edited.mid(0x200) : edited);
    }
    QCOMPARE(session.window.windowTitle(), title);
    // Later saves follow the new file; the image opened first stays as it was.
    session.core.setEnemyHealth(8, Byte(original[Core::enemyHealthOffset + 8] ^ 0x11));
    session.action("SaveMenu")->trigger();
    QCOMPARE(session.dir.imageBytes() == original, written == "copy");
}

void TestBackMDI::failedSaveKeepsEdits_data() {
    QTest::addColumn<bool>("replaced");   // else deleted
    QTest::addColumn<QString>("message"); // %1: the image's path, %2: the system's "missing"
    const QString nothingWritten =
        QStringLiteral(" Nothing was written; your edits are still here.");
    QTest::addRow("image deleted") << false << "Cannot save \"%1\": %2." + nothingWritten;
    QTest::addRow("image replaced by another file")
        << true
        << "Cannot save \"%1\": it is no longer an image of the game (the game's signature is "
           "not at 0x400)." +
               nothingWritten;
}

void TestBackMDI::failedSaveKeepsEdits() {
    QFETCH(bool, replaced);
    QFETCH(QString, message);

    Session session;
    QVERIFY(session.openImage());
    const QByteArray other = QByteArray(4096, 'x');
    if (replaced)
        session.dir.writeFile("game.smc", other);
    else
        QVERIFY(QFile::remove(session.dir.imagePath()));
    const Byte edited = static_cast<Byte>(session.core.getEnemyHealth(3) ^ 0xFF);
    session.core.setEnemyHealth(3, edited);

    ModalAnswerer answerer;
    session.action("SaveMenu")->trigger();
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes.first().title, QStringLiteral("Error"));
    const QString missing =
        QString::fromStdString(missingFileReason(session.dir.imagePath().toStdString()));
    QCOMPARE(answerer.boxes.first().text,
             message.arg(session.dir.imagePath()).replace("%2", missing));
    QCOMPARE(answerer.boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(session.action("SaveMenu")->isEnabled());
    QCOMPARE(session.core.getEnemyHealth(3), edited);
    if (replaced)
        QCOMPARE(session.dir.imageBytes(), other);
    else
        QVERIFY(!QFile::exists(session.dir.imagePath()));
}

void TestBackMDI::saveMergesChangesOnDisk_data() {
    QTest::addColumn<qsizetype>("changedOffset"); // by another program
    QTest::addColumn<QString>("answer");          // empty: no question
    QTest::addColumn<bool>("mineSaved");          // else theirs, at the edited byte
    const auto edited = qsizetype(Core::enemyHealthOffset + 0x3C);
    QTest::addRow("another byte: both kept")
        << qsizetype(Core::damageTableOffset + 20) << "" << true;
    QTest::addRow("same byte, Keep Mine") << edited << "KeepMineButton" << true;
    QTest::addRow("same byte, Take Theirs") << edited << "TakeTheirsButton" << false;
    QTest::addRow("same byte, Cancel") << edited << "Cancel" << false;
}

// Another program changes the image after Open. A byte only it changed is
// kept and taken in; a byte both changed is asked about: Keep Mine writes
// mine, Take Theirs takes theirs, Cancel writes and takes nothing.
void TestBackMDI::saveMergesChangesOnDisk() {
    QFETCH(qsizetype, changedOffset);
    QFETCH(QString, answer);
    QFETCH(bool, mineSaved);

    Session session;
    QVERIFY(session.openImage());
    const auto before = Byte(session.dir.imageBytes()[Core::enemyHealthOffset + 0x3C]);
    const auto theirs = Byte(session.dir.imageBytes()[changedOffset] ^ 0x33);
    const auto mine = Byte(before ^ 0x0F);
    const QByteArray outside = withByte(session.dir.imageBytes(), changedOffset, char(theirs));
    session.dir.writeFile("game.smc", outside);
    session.core.setEnemyHealth(0x3C, mine);

    ModalAnswerer answerer;
    answerer.buttonsToPress = {answer};
    session.action("SaveMenu")->trigger();
    const auto edited = qsizetype(Core::enemyHealthOffset + 0x3C);
    if (answer == "Cancel") {
        QCOMPARE(session.core.getEnemyHealth(0x3C), mine);
        QCOMPARE(session.dir.imageBytes(), outside);
    } else {
        const Byte expected = mineSaved ? mine : theirs;
        QCOMPARE(session.core.getEnemyHealth(0x3C), expected);
        QCOMPARE(Byte(session.dir.imageBytes()[edited]), expected);
        QCOMPARE(Byte(session.dir.imageBytes()[changedOffset]),
                 changedOffset == edited ? expected : theirs);
        QVERIFY(!session.window.isWindowModified());
    }
    if (answer.isEmpty()) {
        QVERIFY(answerer.boxes.isEmpty());
        QCOMPARE(session.window.findChild<QLabel*>("statusMessage")->text(),
                 "Took 1 value changed by another program.");
        return;
    }
    QCOMPARE(answerer.boxes.size(), 1);
    const SeenBox& question = answerer.boxes.first();
    QCOMPARE(question.title, QStringLiteral("Warning"));
    QCOMPARE(question.icon, QMessageBox::Warning);
    QCOMPARE(question.format, Qt::PlainText);
    QCOMPARE(question.text, QStringLiteral("Another program changed 1 value in \"game.smc\" that "
                                           "you also changed:\nHealth of 3C: %1 before, %2 on "
                                           "disk, %3 here")
                                .arg(before)
                                .arg(theirs)
                                .arg(mine));
    QCOMPARE(question.buttonTexts.size(), 3);
    QCOMPARE(question.defaultButton, QStringLiteral("Cancel"));
    QCOMPARE(question.escapeButton, QStringLiteral("Cancel"));
}

void TestBackMDI::closingAsksAboutUnsavedEdits_data() {
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("saveFails");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::addRow("no edits") << false << "" << false << true << false;
    QTest::addRow("Save") << true << "Save" << false << true << true;
    QTest::addRow("Save that fails") << true << "Save" << true << false << false;
    QTest::addRow("Discard") << true << "Discard" << false << true << false;
    QTest::addRow("Cancel") << true << "Cancel" << false << false << false;
}

// Exit with unsaved edits asks first; Save closes only when the save worked.
void TestBackMDI::closingAsksAboutUnsavedEdits() {
    QFETCH(bool, edited);
    QFETCH(QString, answer);
    QFETCH(bool, saveFails);
    QFETCH(bool, closes);
    QFETCH(bool, saved);

    Session session;
    QVERIFY(session.openImage());
    const QByteArray before = session.dir.imageBytes();
    session.action("DamagePointerEditorMenu")->trigger();
    session.action("EnemyDamageEditorMenu")->trigger();
    CloseRecorder recorder;
    for (QMdiSubWindow* window : session.workspace()->subWindowList())
        window->installEventFilter(&recorder);
    const auto health = Byte(session.core.getEnemyHealth(0) ^ 1);
    if (edited)
        session.core.setEnemyHealth(0, health);
    QCOMPARE(session.window.windowTitle(), QStringLiteral("game.smc[*] - Tarvon Add-ons"));
    QCOMPARE(session.window.isWindowModified(), edited);
    if (saveFails)
        QVERIFY(QFile::remove(session.dir.imagePath()));

    ModalAnswerer answerer;
    answerer.buttonsToPress = {answer};
    session.action("ExitMenu")->trigger();
    discardClosedWindows();

    QCOMPARE(answerer.boxes.size(), edited ? 1 + int(saveFails) : 0);
    if (edited) {
        const SeenBox& question = answerer.boxes.first();
        QCOMPARE(question.title, QStringLiteral("Tarvon Add-ons"));
        QCOMPARE(question.text, QStringLiteral("Save the changes to \"game.smc\" before closing?"));
        QCOMPARE(question.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QStringLiteral("Save"));
        QCOMPARE(question.escapeButton, QStringLiteral("Cancel"));
    }
    QCOMPARE(session.window.isVisible(), !closes);
    QCOMPARE(recorder.closed,
             closes ? QStringList({"DamageTableForm", "EnemyStatsForm"}) : QStringList());
    if (!saveFails)
        QCOMPARE(session.dir.imageBytes(),
                 saved ? withByte(before, Core::enemyHealthOffset, char(health)) : before);
    QCOMPARE(session.core.getEnemyHealth(0), edited ? health : Byte(health ^ 1));
}

void TestBackMDI::toolsOpenEachEditorOnce_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("otherItem");
    QTest::addColumn<QString>("formName");

    QTest::addRow("Enemy Stat Editor") << "DamagePointerEditorMenu"
                                       << "EnemyDamageEditorMenu"
                                       << "EnemyStatsForm";
    QTest::addRow("Damage Table Editor") << "EnemyDamageEditorMenu"
                                         << "DamagePointerEditorMenu"
                                         << "DamageTableForm";
}

void TestBackMDI::toolsOpenEachEditorOnce() {
    QFETCH(QString, item);
    QFETCH(QString, otherItem);
    QFETCH(QString, formName);

    Session session;
    QVERIFY(session.openImage());
    QMdiArea* workspace = session.workspace();
    QAction* show = session.action(qPrintable(item));

    show->trigger();
    QCOMPARE(windowsShowing(workspace, formName).size(), 1);
    QPointer<QMdiSubWindow> first = windowsShowing(workspace, formName).first();
    QCOMPARE(workspace->activeSubWindow(), first.data());
    const Qt::WindowFlags flags = first->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(first->minimumSize(), first->maximumSize());
    QVERIFY(first->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!first->windowIcon().isNull());
    first->showSystemMenu();
    QTRY_VERIFY(first->systemMenu()->isVisible());
    QCOMPARE(visibleItems(first->systemMenu()), QStringList({"&Move", "&Close"}));
    first->systemMenu()->close();

    session.action(qPrintable(otherItem))->trigger();
    QVERIFY(workspace->activeSubWindow() != first.data());
    show->trigger();
    QCOMPARE(windowsShowing(workspace, formName), QList<QMdiSubWindow*>({first.data()}));
    QCOMPARE(workspace->activeSubWindow(), first.data());

    // A closed editor is discarded: the next one starts afresh.
    moveOffStart(first->widget());
    QVERIFY(!atStart(first->widget()));
    first->close();
    discardClosedWindows();
    QVERIFY(first.isNull());
    show->trigger();
    QCOMPARE(windowsShowing(workspace, formName).size(), 1);
    QVERIFY(atStart(windowsShowing(workspace, formName).first()->widget()));
}

void TestBackMDI::damageTableEditorShowsCurrentValues() {
    Session session;
    QVERIFY(session.openImage());
    session.action("EnemyDamageEditorMenu")->trigger();
    QMdiSubWindow* window = windowsShowing(session.workspace(), "DamageTableForm").value(0);
    QVERIFY(window);
    const QList<QLineEdit*> boxes = {window->findChild<QLineEdit*>("Damage1"),
                                     window->findChild<QLineEdit*>("Damage2"),
                                     window->findChild<QLineEdit*>("Damage3")};
    QVERIFY(!boxes.contains(nullptr));

    // The window starts on set 0; values changed behind its back show when it
    // is chosen again.
    session.core.setDamageSet(0, 11, 22, 33);
    session.action("EnemyDamageEditorMenu")->trigger();
    QCOMPARE(boxes[0]->text(), QStringLiteral("11"));
    QCOMPARE(boxes[1]->text(), QStringLiteral("22"));
    QCOMPARE(boxes[2]->text(), QStringLiteral("33"));
}

QTEST_MAIN(TestBackMDI)
// A frame made smaller than an editor offers scroll bars to reach the rest.
void TestBackMDI::workspaceScrollsToCutOffEditors() {
    Session session;
    QVERIFY(session.openImage());
    session.action("DamagePointerEditorMenu")->trigger();
    QMdiArea* workspace = session.workspace();
    QVERIFY(!workspace->horizontalScrollBar()->isVisible());
    QVERIFY(!workspace->verticalScrollBar()->isVisible());
    session.window.resize(session.window.size() / 2);
    QTRY_VERIFY(workspace->horizontalScrollBar()->isVisible());
    QVERIFY(workspace->verticalScrollBar()->isVisible());
}

#include "tst_backmdi.moc"
