// Dropping an image file onto the main window opens it as the Open command
// does, for as long as Open can be used.
#include "BackMDI.h"
#include "Core.h"
#include "GuiSupport.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>

namespace {
using Session = MainWindowSession;

enum class Over { Workspace, MenuBar, EnemyEditorHealthBox, DamageTableBox };

// The widget under the mouse at a place of the window: the one a desktop
// hands the drag events to.
QWidget* widgetOver(Session& session, Over place) {
    switch (place) {
    case Over::Workspace:
        return session.workspace()->viewport();
    case Over::MenuBar:
        return session.window.menuBar();
    case Over::EnemyEditorHealthBox:
        session.action("DamagePointerEditorMenu")->trigger();
        return session.window.findChild<QLineEdit*>("healthBox");
    case Over::DamageTableBox:
        session.action("EnemyDamageEditorMenu")->trigger();
        return session.window.findChild<QWidget*>("DamageTableForm")
            ->findChild<QLineEdit*>("Damage1");
    }
    return nullptr;
}

QList<QUrl> localFiles(const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

// How far a drag got. A desktop delivers no move or drop after a refused
// enter, and the drag source learns from the drop whether the file was taken.
enum class Drag { EnterRefused, MoveRefused, DropRefused, Dropped };

// One drag of `urls` over the middle of `target`: enter, move and drop, each
// only while the window took what came before.
Drag dragAndDrop(QWidget* target, const QList<QUrl>& urls,
                 Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QMimeData data;
    data.setUrls(urls);
    // File managers also offer the paths as text, which a text box would take.
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    data.setText(paths.join(QLatin1Char('\n')));
    const QPointF middle = QRectF(target->rect()).center();
    QDragEnterEvent enter(middle.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return Drag::EnterRefused;
    QDragMoveEvent move(middle.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
    move.setAccepted(true);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return Drag::MoveRefused;
    QDropEvent drop(middle, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    // The program offers only a copy back, so no file manager moves the file away.
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction ? Drag::Dropped
                                                                    : Drag::DropRefused;
}

// The paths of `files`, names in the session's scratch directory, which also
// holds copy.smc, a copy of the image.
QStringList scratchFiles(Session& session, const QStringList& files) {
    session.dir.writeFile("copy.smc", session.dir.imageBytes());
    QStringList paths;
    for (const QString& file : files)
        paths.append(QDir(session.dir.path()).filePath(file));
    return paths;
}

// Lets the window finish what the drop started.
void settle() {
    QTest::qWait(50);
}

// Shows the Open dialog, cancels it and returns how it looked.
SeenFileDialog openDialogAsShown(Session& session) {
    ModalAnswerer answerer({QString()});
    session.action("OpenMenu")->trigger();
    return answerer.fileDialogs.value(0);
}
} // namespace

class TestBackMDIDrop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useProgramLanguageAndFont(); }

    void dropLoadsImage_data();
    void dropLoadsImage();
    void secondDropBeforeTheLoadIgnored();
    void severalFilesGetAMessage_data();
    void severalFilesGetAMessage();
    void dropAfterLoadRefused_data();
    void dropAfterLoadRefused();
    void wrongFileRefusedAsOpenDoes();
    void dragsRefused_data();
    void dragsRefused();
};

void TestBackMDIDrop::dropLoadsImage_data() {
    QTest::addColumn<Over>("place");
    QTest::addRow("over the workspace") << Over::Workspace;
    QTest::addRow("over the menu bar") << Over::MenuBar;
}

void TestBackMDIDrop::dropLoadsImage() {
    QFETCH(Over, place);

    Session session;
    const QByteArray image = session.dir.imageBytes();
    ModalAnswerer answerer;
    QCOMPARE(dragAndDrop(widgetOver(session, place), localFiles({session.dir.imagePath()})),
             Drag::Dropped);
    QTRY_VERIFY(session.imageMenusOn());
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(answerer.fileDialogs.isEmpty());
    QCOMPARE(session.window.windowTitle(), QStringLiteral("game.smc[*] - Tarvon Add-ons"));
    QCOMPARE(session.core.getEnemyHealth(0), Byte(image[Core::enemyHealthOffset]));
    QCOMPARE(session.dir.imageBytes(), image);
}

// Both drops are taken, as Open is still there, but one run opens one image.
void TestBackMDIDrop::secondDropBeforeTheLoadIgnored() {
    Session session;
    const QString other = session.dir.writeFile("other.smc", syntheticImage(0x100000, 7));
    ModalAnswerer answerer;
    QWidget* workspace = session.workspace()->viewport();
    QCOMPARE(dragAndDrop(workspace, localFiles({session.dir.imagePath()})), Drag::Dropped);
    QCOMPARE(dragAndDrop(workspace, localFiles({other})), Drag::Dropped);
    QTRY_VERIFY(session.imageMenusOn());
    settle();
    QVERIFY(answerer.boxes.isEmpty());
    QCOMPARE(session.window.windowTitle(), QStringLiteral("game.smc[*] - Tarvon Add-ons"));
}

// Several files at once are taken, so that the drop arrives, and none of
// them is opened: a message asks for one.
void TestBackMDIDrop::severalFilesGetAMessage_data() {
    QTest::addColumn<QStringList>("files"); // names in the scratch directory
    QTest::addRow("two images") << QStringList{"game.smc", "copy.smc"};
    QTest::addRow("an image and names.cfg") << QStringList{"names.cfg", "game.smc"};
}

void TestBackMDIDrop::severalFilesGetAMessage() {
    QFETCH(QStringList, files);

    Session session;
    const QStringList paths = scratchFiles(session, files);
    ModalAnswerer answerer;
    QCOMPARE(dragAndDrop(session.workspace()->viewport(), localFiles(paths)), Drag::Dropped);
    QTRY_COMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes.first().title, QStringLiteral("Warning"));
    QCOMPARE(answerer.boxes.first().text, QStringLiteral("Drop one image at a time."));
    settle();
    QVERIFY(session.startMenusOn());
    QCOMPARE(session.window.windowTitle(), QStringLiteral("Tarvon Add-ons"));
}

void TestBackMDIDrop::dropAfterLoadRefused_data() {
    QTest::addColumn<Over>("place");
    QTest::addColumn<int>("files");
    QTest::addRow("over the workspace") << Over::Workspace << 1;
    QTest::addRow("over the health box") << Over::EnemyEditorHealthBox << 1;
    QTest::addRow("over a damage table box") << Over::DamageTableBox << 1;
    QTest::addRow("two images over the workspace") << Over::Workspace << 2;
}

// A second image dropped after the first is not even taken: nothing reloads,
// and edits in memory stay.
void TestBackMDIDrop::dropAfterLoadRefused() {
    QFETCH(Over, place);
    QFETCH(int, files);

    Session session;
    QCOMPARE(dragAndDrop(session.workspace()->viewport(), localFiles({session.dir.imagePath()})),
             Drag::Dropped);
    QTRY_VERIFY(session.imageMenusOn());
    const QString other = session.dir.writeFile("other.smc", syntheticImage(0x100000, 7));
    const Byte edited = Byte(session.core.getEnemyHealth(5) ^ 0xFF);
    session.core.setEnemyHealth(5, edited);
    QWidget* target = widgetOver(session, place);
    const DamageRow firstSet = session.core.getDamageSet(0);
    const Byte firstHealth = session.core.getEnemyHealth(0);

    ModalAnswerer answerer;
    const QStringList others = QStringList(other) + QStringList(files - 1, session.dir.imagePath());
    QCOMPARE(dragAndDrop(target, localFiles(others)), Drag::EnterRefused);
    settle();
    QCOMPARE(session.core.getDamageSet(0), firstSet);
    QCOMPARE(session.core.getEnemyHealth(0), firstHealth);
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(session.imageMenusOn());
    QCOMPARE(session.window.windowTitle(), QStringLiteral("game.smc[*] - Tarvon Add-ons"));
    QCOMPARE(session.core.getEnemyHealth(5), edited);
}

// The same box as Open shows; Open stays usable, and the dialog still starts
// where it did before the drop.
void TestBackMDIDrop::wrongFileRefusedAsOpenDoes() {
    Session session;
    QVERIFY(QDir(session.dir.path()).mkdir("elsewhere"));
    QByteArray wrong = syntheticImage();
    wrong[Core::signatureOffset] = char(wrong[Core::signatureOffset] ^ 0x55);
    const QString wrongPath = session.dir.writeFile("elsewhere/wrong.smc", wrong);
    const SeenFileDialog before = openDialogAsShown(session);
    {
        ModalAnswerer answerer;
        QCOMPARE(dragAndDrop(session.workspace()->viewport(), localFiles({wrongPath})),
                 Drag::Dropped);
        QTRY_COMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes.first().title, QStringLiteral("Error"));
        QCOMPARE(answerer.boxes.first().text, QStringLiteral("This is not velko 3 rom"));
        QCOMPARE(answerer.boxes.first().icon, QMessageBox::NoIcon);
        QCOMPARE(answerer.boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QVERIFY(session.startMenusOn());
    QCOMPARE(readFileBytes(wrongPath), wrong);

    const SeenFileDialog after = openDialogAsShown(session);
    QCOMPARE(after.directory, before.directory);
    QCOMPARE(after.selectedFiles, before.selectedFiles);
    QVERIFY(session.startMenusOn());

    ModalAnswerer answerer;
    QCOMPARE(dragAndDrop(session.workspace()->viewport(), localFiles({session.dir.imagePath()})),
             Drag::Dropped);
    QTRY_VERIFY(session.imageMenusOn());
    QVERIFY(answerer.boxes.isEmpty());
}

void TestBackMDIDrop::dragsRefused_data() {
    QTest::addColumn<QStringList>("files"); // names in the scratch directory
    QTest::addColumn<QList<QUrl>>("otherUrls");
    QTest::addColumn<Qt::DropActions>("actions");

    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    QTest::addRow("two images, move only")
        << QStringList{"game.smc", "copy.smc"} << QList<QUrl>{} << Qt::DropActions(Qt::MoveAction);
    QTest::addRow("an image and a folder")
        << QStringList{"game.smc", "."} << QList<QUrl>{} << copyOrMove;
    QTest::addRow("a web address")
        << QStringList{} << QList<QUrl>{QUrl("https://example.org/game.smc")} << copyOrMove;
    QTest::addRow("an image and a web address")
        << QStringList{"game.smc"} << QList<QUrl>{QUrl("https://example.org/game.smc")}
        << copyOrMove;
    QTest::addRow("no address at all") << QStringList{} << QList<QUrl>{} << copyOrMove;
    QTest::addRow("a folder") << QStringList{"."} << QList<QUrl>{} << copyOrMove;
    QTest::addRow("move only") << QStringList{"game.smc"} << QList<QUrl>{}
                               << Qt::DropActions(Qt::MoveAction);
}

void TestBackMDIDrop::dragsRefused() {
    QFETCH(QStringList, files);
    QFETCH(QList<QUrl>, otherUrls);
    QFETCH(Qt::DropActions, actions);

    Session session;
    const QStringList paths = scratchFiles(session, files);
    ModalAnswerer answerer;
    QCOMPARE(dragAndDrop(session.workspace()->viewport(), localFiles(paths) + otherUrls, actions),
             Drag::EnterRefused);
    settle();
    QVERIFY(answerer.boxes.isEmpty());
    QVERIFY(session.startMenusOn());
    QCOMPARE(session.window.windowTitle(), QStringLiteral("Tarvon Add-ons"));
}

QTEST_MAIN(TestBackMDIDrop)
#include "tst_backmdi_drop.moc"
