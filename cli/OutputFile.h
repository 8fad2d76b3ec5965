#pragma once

#include <string>
#include <string_view>

// Writes `contents` to `path` through a temporary file in the same directory,
// synced and then renamed over `path`, so `path` holds either its old contents
// or all of the new ones. On failure the temporary file is removed and the
// reason is returned; an empty string means success.
std::string writeFileSafely(const std::string& path, std::string_view contents);
