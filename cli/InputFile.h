#pragma once

#include <string>

// Reads the whole of `path` into `contents`, or of standard input where the
// path is "-": a regular file, a pipe, a terminal or /dev/stdin alike, and at
// most as many bytes as names.cfg may hold (16 MiB). Returns the system's
// reason on failure, an empty string on success.
std::string readWholeInput(const std::string& path, std::string& contents);
