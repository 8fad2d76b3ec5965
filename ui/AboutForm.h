#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: the program's logo, name and credit. It stays up until
// "ok" or the window frame closes it; Escape leaves it open, and Enter presses
// "ok" only while the button has the focus.
class AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(QWidget* parent);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void Command1_Click();

    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
};
