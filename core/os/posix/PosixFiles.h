#pragma once

#include "FileSystem.h"

#include <string>
#include <string_view>

// FileSystem::readToEnd and FileSystem::replaceWhole on POSIX.
std::string readFileToEnd(const std::string& path, std::string& contents);
ReplaceResult replaceFileWhole(const std::string& path, std::string_view contents);
