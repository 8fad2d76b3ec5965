#include "Platform.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

std::filesystem::path programFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path(".") : self.parent_path();
}

std::filesystem::path userNamesFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    if (config && config[0] == '/')
        folder = config;
    else if (home && home[0] != '\0')
        folder = std::filesystem::path(home) / ".config";
    else
        return {};
    return folder / "tarvon-addons" / "names.cfg";
}

std::vector<std::string> commandLineWords(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

void prepareConsole() {
    std::signal(SIGPIPE, SIG_IGN);
}

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

void showCommandLineText(const std::string& utf8, bool error) {
    std::FILE* stream = error ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}
