#pragma once

#include "FileResult.h"
#include "FileSystem.h"
#include "NameList.h"

#include <filesystem>

// Finding and reading names.cfg. The user's own,
// $XDG_CONFIG_HOME/tarvon-addons/names.cfg (~/.config when the variable is
// unset, empty or not an absolute path), is read when anything is there;
// else the one in the program's directory.
std::filesystem::path namesFilePath(FileSystem& fileSystem,
                                    const std::filesystem::path& programDir);

// Reads the names file into `names` (empty names when it cannot be read) and
// reports what it found.
NamesReport readNamesFile(FileSystem& fileSystem, const std::filesystem::path& programDir,
                          NameList& names);
