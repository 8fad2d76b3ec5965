#pragma once

#include <string>
#include <string_view>

struct OutputResult {
    // The system's reason for a failure; empty on success.
    std::string reason;
    // Whether the file holds the new contents, even though something failed
    // afterwards (syncing its folder).
    bool written = false;
};

// Writes `contents` to `path` as `>` would, but whole or not at all: through
// a temporary file beside the file (beside the file a symbolic link points
// to, which stays a link), synced and then renamed over it, and the folder
// synced after. An existing file keeps its permission bits; a new one gets
// what the umask allows. SIGINT, SIGTERM and SIGHUP wait until the temporary
// file is renamed or removed. A path that names no regular file, such as
// /dev/stdout or a pipe, is written straight.
OutputResult writeOutputFile(const std::string& path, std::string_view contents);
