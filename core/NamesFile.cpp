#include "NamesFile.h"

#include <cstdlib>

namespace {

// The user's own names file; nothing without a config folder or a home.
std::filesystem::path userNamesPath() {
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

} // namespace

std::filesystem::path namesFilePath(FileSystem& fileSystem,
                                    const std::filesystem::path& programDir) {
    const std::filesystem::path userFile = userNamesPath();
    if (!userFile.empty() && !fileSystem.isMissing(userFile.string()))
        return userFile;
    return programDir / "names.cfg";
}

NamesReport readNamesFile(FileSystem& fileSystem, const std::filesystem::path& programDir,
                          NameList& names) {
    NamesReport report;
    report.path = namesFilePath(fileSystem, programDir).string();
    std::string contents;
    report.unreadableReason = fileSystem.readAll(report.path, contents);
    names = parseNameList(contents);
    report.namedCount = names.namedCount;
    report.cutSlots = names.cutSlots;
    return report;
}
