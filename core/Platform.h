#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What the programs ask of the system beyond files, one implementation per
// system (os/posix, os/windows).

// The folder of the running program, where the shared names.cfg lies; "."
// when the system cannot say.
std::filesystem::path programFolder();

// The user's own names file: $XDG_CONFIG_HOME/tarvon-addons/names.cfg (or
// ~/.config/…) on POSIX, %APPDATA%\Tarvon Add-ons\names.cfg on Windows;
// empty without such a folder.
std::filesystem::path userNamesFile();

// The program's arguments after its name, in UTF-8 (on Windows from the
// system's own UTF-16 command line, whatever the code page).
std::vector<std::string> commandLineWords(int argc, char** argv);

// Sets up standard output and standard error for the tool: on Windows they
// pass bytes as they are, and a console is switched to UTF-8; on POSIX a
// closed pipe becomes a failed write rather than SIGPIPE.
void prepareConsole();

// Whether standard output is a terminal (a console on Windows).
bool standardOutputIsTerminal();

// Shows what the editor's command line answers (help, the version, a usage
// error) on standard output, or standard error for an error. A Windows
// window program has none of its own: it writes to the console it was
// started from, or, started from none, shows the text in a message box.
void showCommandLineText(const std::string& utf8, bool error);
