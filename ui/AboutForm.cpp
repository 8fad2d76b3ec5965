#include "AboutForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
// The client area, placed at a fixed spot on the screen.
constexpr QRect clientArea{385, 235, 248, 241};

QIcon blankIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

QLabel* addLabel(QWidget* parent, const char* name, const QRect& place) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    return label;
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
    Picture1 = addLabel(this, "Picture1", {80, 8, 89, 89});
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/tarvon/logo.gif")));
    Picture1->setAccessibleName(tr("Tarvon Add-ons logo"));

    Label1 = addLabel(this, "Label1", {56, 96, 129, 17});
    Label1->setText(tr("Tarvon Add-ons"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(9.75);
    Label1->setFont(titleFont);

    Label2 = addLabel(this, "Label2", {56, 128, 145, 17});
    Label2->setText(tr("Made by the Tarvon team"));

    Command1 = new QPushButton(tr("ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(88, 192, 73, 25);
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
