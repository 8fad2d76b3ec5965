#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

// What a message box showed before it was answered.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QStringList buttonTexts;
    QString defaultButton, escapeButton; // by name, see ModalAnswerer::buttonsToPress
};

// How the Open dialog looked when it came up.
struct SeenFileDialog {
    QString objectName;
    QString title;
    QString directory;
    QStringList selectedFiles;
    QStringList nameFilters;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    bool qtDialog = false;
};

// While alive, answers every modal window the program brings up: the Open
// dialog gets the next scripted path (typed into its file name box and
// accepted; an empty path, or one the dialog refuses, presses Cancel), a
// message box is recorded and answered with the first of `buttonsToPress`,
// else with OK, else with Escape, and any other window is
// handed to `answerOther` or, without one, recorded and closed. Nothing can
// hang a test waiting for a user, and what was seen is left for the test to
// check: a failure inside a timer would not stop the test that waits.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(QStringList paths = {}, std::function<void(QWidget*)> answerOther = {});

    // Buttons by name: a standard button by its role ("Save", "Discard",
    // "Cancel", whatever a theme calls it), another by its objectName.
    QStringList buttonsToPress;
    QList<SeenBox> boxes;
    QList<SeenFileDialog> fileDialogs;
    QStringList unexpected;

private:
    void answer();
    void answerActiveModal(QWidget* modal);
    void answerBox(QMessageBox* box);

    QStringList paths;
    std::function<void(QWidget*)> answerOther;
    QTimer timer;
    QList<QWidget*> answering;
};
