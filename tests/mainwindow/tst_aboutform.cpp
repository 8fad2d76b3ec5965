#include "GuiSupport.h"
#include "MainWindowSession.h"
#include "ModalAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {
enum class Gesture { ClickOk, CloseFrame, Escape, EnterOnOk, EnterElsewhere };

using Session = MainWindowSession;

// Chooses About... and runs `inspect` on the window once it is up; whatever
// `inspect` leaves open is then closed with "ok".
void withAboutWindow(Session& session, const std::function<void(QDialog*)>& inspect) {
    bool seen = false;
    const ModalAnswerer answerer({}, [&seen, &inspect](QWidget* modal) {
        seen = true;
        auto* about = qobject_cast<QDialog*>(modal);
        if (about && about->objectName() == "AboutForm")
            inspect(about);
        if (modal->isVisible())
            if (auto* ok = modal->findChild<QPushButton*>("Command1"))
                ok->click();
    });
    session.action("AboutMenu")->trigger();
    QVERIFY(seen);
}

void perform(Gesture gesture, QDialog* about) {
    auto* ok = about->findChild<QPushButton*>("Command1");
    switch (gesture) {
    case Gesture::ClickOk:
        QTest::mouseClick(ok, Qt::LeftButton);
        break;
    case Gesture::CloseFrame:
        about->close();
        break;
    case Gesture::Escape:
        QTest::keyClick(about, Qt::Key_Escape);
        break;
    case Gesture::EnterOnOk:
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        break;
    case Gesture::EnterElsewhere:
        ok->clearFocus();
        QTest::keyClick(about, Qt::Key_Return);
        break;
    }
}
} // namespace

Q_DECLARE_METATYPE(Gesture)

class TestAboutForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useProgramLanguageAndFont(); }

    void window();
    void controls_data();
    void controls();
    void closing_data();
    void closing();
};

void TestAboutForm::window() {
    Session session;
    withAboutWindow(session, [&session](QDialog* about) {
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        QVERIFY(about->isModal());
        QCOMPARE(about->parentWidget(), &session.window);
        QCOMPARE(about->geometry(), QRect(385, 235, 248, 241));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
        const QImage icon = about->windowIcon().pixmap(16, 16).toImage();
        QVERIFY(!icon.isNull());
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                QCOMPARE(qAlpha(icon.pixel(x, y)), 0);
        auto* ok = about->findChild<QPushButton*>("Command1");
        QVERIFY(!ok->isDefault());
        QVERIFY(!ok->autoDefault());
    });
}

void TestAboutForm::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text"); // empty: any text, as long as it fits

    QTest::addRow("Picture1") << "Picture1" << QRect(80, 8, 89, 89) << "";
    QTest::addRow("Label1") << "Label1" << QRect(56, 96, 129, 17) << "Tarvon Add-ons";
    QTest::addRow("Label2") << "Label2" << QRect(56, 128, 145, 17) << "";
    QTest::addRow("Command1") << "Command1" << QRect(88, 192, 73, 25) << "ok";
}

void TestAboutForm::controls() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);

    Session session;
    withAboutWindow(session, [&](QDialog* about) {
        auto* control = about->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), place);
        if (auto* label = qobject_cast<QLabel*>(control); label && name == "Picture1") {
            QCOMPARE(label->pixmap().size(), QSize(80, 80));
            return;
        }
        const QString shown = control->property("text").toString();
        if (!text.isEmpty())
            QCOMPARE(shown, text);
        QVERIFY(!shown.isEmpty());
        if (const QString reason = unmeasurableFont(); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        const QFontMetrics metrics(control->font());
        QVERIFY2(metrics.horizontalAdvance(shown) <= control->width(), qPrintable(shown));
        QVERIFY(metrics.height() <= control->height());
    });
}

void TestAboutForm::closing_data() {
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<bool>("closes");

    QTest::addRow("ok clicked") << Gesture::ClickOk << true;
    QTest::addRow("window frame") << Gesture::CloseFrame << true;
    QTest::addRow("Escape") << Gesture::Escape << false;
    QTest::addRow("Enter with focus on ok") << Gesture::EnterOnOk << true;
    QTest::addRow("Enter with focus elsewhere") << Gesture::EnterElsewhere << false;
}

void TestAboutForm::closing() {
    QFETCH(Gesture, gesture);
    QFETCH(bool, closes);

    Session session;
    QPointer<QDialog> shown;
    bool stillUp = false;
    withAboutWindow(session, [&](QDialog* about) {
        shown = about;
        perform(gesture, about);
        stillUp = about->isVisible();
    });
    QCOMPARE(stillUp, !closes);
    QVERIFY2(shown.isNull(), "a closed About window is discarded");
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
