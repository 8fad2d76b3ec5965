#pragma once

#include "FileResult.h"

#include <QStringList>

// The main window's words for what the data store reports.

// Sentences one after another, as the user's language writes them: with a
// space between them, or none in Japanese.
QString sentencesText(const QStringList& sentences);

// A failed Open, load or save, as one message.
QString failureText(const FileResult& result);

// A failed Save As of the image at `imagePath`, as one message.
QString saveAsFailureText(const FileResult& result, const std::string& imagePath);

// What a load that worked found worth saying, one message each: about the
// names file, and that the image cannot be written.
QStringList loadWarnings(const FileResult& result);
