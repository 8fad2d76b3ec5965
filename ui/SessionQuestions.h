#pragma once

#include "FileResult.h"

#include <QString>
#include <optional>
#include <vector>

// The questions an image session asks the person: the main window asks them
// in message boxes, tests answer them directly.
class SessionQuestions {
public:
    enum class BeforeClosing { Save, Discard, Cancel };

    // Keep Mine or Take Theirs for values both programs changed; nothing to
    // keep the file as the other program left it.
    virtual std::optional<ConflictAnswer::Choice>
    askAboutConflicts(const QString& imageName, const std::vector<Conflict>& conflicts) = 0;
    virtual BeforeClosing askBeforeClosing(const QString& imageName) = 0;
    // Save As was given the image being edited: whether to save into it.
    virtual bool askToSaveInstead(const QString& imageName) = 0;

protected:
    ~SessionQuestions() = default;
};
