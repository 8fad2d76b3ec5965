#include "NamesFile.h"

#include "Platform.h"

std::filesystem::path namesFilePath(FileSystem& fileSystem,
                                    const std::filesystem::path& programDir) {
    const std::filesystem::path userFile = userNamesFile();
    if (!userFile.empty() && !fileSystem.isMissing(utf8OfPath(userFile)))
        return userFile;
    return programDir / "names.cfg";
}

NamesReport readNamesFile(FileSystem& fileSystem, const std::filesystem::path& programDir,
                          NameList& names) {
    NamesReport report;
    report.path = utf8OfPath(namesFilePath(fileSystem, programDir));
    std::string contents;
    report.unreadableReason = fileSystem.readAll(report.path, contents);
    names = parseNameList(contents);
    report.namedCount = names.namedCount;
    report.cutSlots = names.cutSlots;
    return report;
}
