#pragma once

#include "SessionQuestions.h"

#include <QCoreApplication>

class Core;
class QDialog;
class QMessageBox;
class QWidget;

// The main window's dialogs and message boxes: each is modal, a message box
// is centred on the window, and each is shown only until the program is told
// to stop; from then on none is shown and every answer is Rejected (Cancel).
class WindowQuestions : public SessionQuestions {
    Q_DECLARE_TR_FUNCTIONS(WindowQuestions)

public:
    WindowQuestions(QWidget& window, const Core& core) : window(window), core(core) {}

    // Shows `dialog` and waits for the answer.
    int ask(QDialog& dialog);
    void tell(const QString& title, const QString& text);
    void stopAsking() { stopped = true; }

    std::optional<ConflictAnswer::Choice>
    askAboutConflicts(const QString& imageName, const std::vector<Conflict>& conflicts) override;
    BeforeClosing askBeforeClosing(const QString& imageName) override;
    bool askToSaveInstead(const QString& imageName) override;

private:
    // Shows a message box of plain text, centred on the window.
    void askInBox(QMessageBox& box);

    QWidget& window;
    const Core& core;
    bool stopped = false;
};
