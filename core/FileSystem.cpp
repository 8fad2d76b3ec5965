// Placeholder: replaced by the POSIX implementation.
#include "FileSystem.h"

std::shared_ptr<FileSystem> realFileSystem() { return nullptr; }
