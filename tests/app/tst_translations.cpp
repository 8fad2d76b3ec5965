// The editor in the language it chose at start (see tests/app/CMakeLists.txt
// for the rows per language): its menus, a message and Qt's own buttons speak
// it, and every text of the main window, the About window and the Open
// dialog fits, in a font that has its characters.
#include "AboutForm.h"
#include "GuiSupport.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {
struct Words {
    QString fileMenu;
    QString notTheGame;
    QString cancel;
};

// The file menu, the message for a file that is not the game, and Qt's Cancel.
const QMap<QString, Words> expected{
    {"en", {"&File", "This is not velko 3 rom", "Cancel"}},
    {"de", {"&Datei", "Das ist kein Velko-3-ROM", "Abbrechen"}},
    {"es", {"&Archivo", "Esto no es una ROM de Velko 3", "Cancelar"}},
    {"ja", {"ファイル(&F)", "これは Velko 3 の ROM ではありません", "キャンセル"}},
};

// Room a text needs beside what it shows in a view's cell.
constexpr int cellPadding = 8;

// Calls `inspect` with the next modal window once it is up, then closes it.
void inspectNextModal(const std::function<void(QWidget*)>& inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            poll->deleteLater();
            poll->stop();
            inspect(modal);
            modal->close();
        }
    });
    poll->start(10);
}

// The texts of the Open dialog's details and headings that do not fit their
// column, after the folder is read.
QStringList clippedDetails(QFileDialog* dialog) {
    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog->findChild<QFileSystemModel*>();
    const QModelIndex folder = model->index(dialog->directory().absolutePath());
    if (!QTest::qWaitFor([&] { return model->rowCount(folder) > 0; }))
        return {QStringLiteral("the folder was not read")};
    QStringList clipped;
    for (int column = 1; column < model->columnCount(folder); ++column) {
        QStringList texts{model->headerData(column, Qt::Horizontal).toString()};
        for (int row = 0; row < model->rowCount(folder); ++row)
            texts << model->index(row, column, folder).data().toString();
        for (const QString& text : texts)
            if (view->fontMetrics().horizontalAdvance(text) + cellPadding >
                view->header()->sectionSize(column))
                clipped << text;
    }
    return clipped;
}
} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

    QString language;

private slots:
    void initTestCase();
    void menusMessageAndCancel();
    void openDialogDetailsFit();
    void mainAndAboutWindowTextsFit();
};

void TestTranslations::initTestCase() {
    language = useProgramLanguageAndFont();
    // The row's LANGUAGE names a single language the editor ships.
    const QString asked = qEnvironmentVariable("LANGUAGE");
    QCOMPARE(language, asked.isEmpty() ? QStringLiteral("en") : asked);
}

void TestTranslations::menusMessageAndCancel() {
    MainWindowSession session;
    QCOMPARE(session.menu("FileMenu")->title(), expected[language].fileMenu);
    QString cancel;
    inspectNextModal([&cancel](QWidget* modal) {
        auto* buttons = modal->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        cancel = buttons->button(QDialogButtonBox::Cancel)->text();
    });
    session.action("OpenMenu")->trigger();
    QCOMPARE(cancel, expected[language].cancel);
    ModalAnswerer answerer;
    session.window.openImageFile(session.dir.writeFile("other.smc", QByteArray(0x8000, '\0')));
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes.first().text, expected[language].notTheGame);
}

void TestTranslations::openDialogDetailsFit() {
    MainWindowSession session;
    QStringList clipped{"no Open dialog"};
    inspectNextModal([&clipped](QWidget* modal) {
        clipped = clippedDetails(qobject_cast<QFileDialog*>(modal));
    });
    session.action("OpenMenu")->trigger();
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(" | ")));
}

void TestTranslations::mainAndAboutWindowTextsFit() {
    MainWindowSession session;
    QVERIFY(session.window.menuBar()->sizeHint().width() <= session.window.width());
    AboutForm about(&session.window);
    for (const QWidget* control : about.findChildren<QWidget*>()) {
        const QString text = control->property("text").toString();
        QVERIFY2(control->fontMetrics().horizontalAdvance(text) <= control->width(),
                 qPrintable(text));
        QVERIFY2(uncoveredCharacters(control->font(), text).isEmpty(), qPrintable(text));
    }
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
