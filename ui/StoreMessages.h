#pragma once

#include "FileResult.h"

#include <QStringList>

// The main window's words for what the data store reports.

// A failed Open, load or save, as one message.
QString failureText(const FileResult& result);

// What a load that worked found worth saying, one message each: about the
// names file, and that the image cannot be written.
QStringList loadWarnings(const FileResult& result);
