#pragma once

#include "FileSystem.h"

#include <string>

// What the system says when asked to open `path`, which names nothing, in its
// own words: "No such file or directory" on POSIX. Windows words it by the
// kind of name ("The system cannot find the file specified", "… the path
// specified"), and Wine otherwise again, so there the system is asked.
inline std::string missingFileReason([[maybe_unused]] const std::string& path) {
#ifdef _WIN32
    const auto files = realFileSystem();
    FileSystem::Handle opened{};
    const std::string reason = files->openForReading(path, opened);
    if (reason.empty())
        files->close(opened);
    return reason;
#else
    return "No such file or directory";
#endif
}
