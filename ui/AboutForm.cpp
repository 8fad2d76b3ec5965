#include "AboutForm.h"

#include "FormLayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
// The client area, placed at a fixed spot on the screen.
const QRect clientArea = fromTwips(5775, 3525, 3720, 3615);

QIcon blankIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}
} // namespace

AboutForm::AboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(tr("About"));
    setWindowIcon(blankIcon());
    setModal(true);
    createControls();
    setGeometry(clientArea);
    setFixedSize(clientArea.size());
}

void AboutForm::createControls() {
    Picture1 = addLabel(this, "Picture1", QString(), fromTwips(1200, 120, 1335, 1335));
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/tarvon/logo.gif")));
    Picture1->setAccessibleName(tr("Tarvon Add-ons logo"));

    Label1 = addLabel(this, "Label1", tr("Tarvon Add-ons"), fromTwips(840, 1440, 1935, 255));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(9.75);
    Label1->setFont(titleFont);

    Label2 =
        addLabel(this, "Label2", tr("Made by the Tarvon team"), fromTwips(840, 1920, 2175, 255));

    Command1 = new QPushButton(tr("ok"), this);
    place(Command1, "Command1", fromTwips(1320, 2880, 1095, 375));
    Command1->setAutoDefault(false);
    Command1->setDefault(false);
    connect(Command1, &QPushButton::clicked, this, &AboutForm::Command1_Click);
}

void AboutForm::Command1_Click() {
    accept();
}

// Escape asks the dialog to reject itself; the window stays up.
void AboutForm::reject() {}

// The frame's close button closes the window like "ok".
void AboutForm::closeEvent(QCloseEvent* event) {
    done(QDialog::Rejected);
    event->accept();
}

// "ok" is never the default button, so Enter presses it only while it has
// the focus.
void AboutForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && Command1->hasFocus())
        Command1->click();
    else
        QDialog::keyPressEvent(event);
}
