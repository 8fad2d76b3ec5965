#include "FileSystem.h"

#include <random>

std::string FileSystem::readAll(const std::string& path, std::string& contents) {
    Handle handle{};
    if (std::string reason = openForReading(path, handle); !reason.empty())
        return reason;
    FileStatus file;
    std::string reason = status(handle, file);
    if (reason.empty() && file.size > largestTextFile)
        reason = "Larger than 16 MiB";
    std::string text;
    if (reason.empty()) {
        text.resize(file.size);
        reason = readAt(handle, 0, {reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
    }
    close(handle);
    if (reason.empty())
        contents = std::move(text);
    return reason;
}

std::filesystem::path pathOfUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8OfPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string FileSystem::temporaryNameBeside(const std::string& path) {
    static std::mt19937 random{std::random_device{}()};
    constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    const std::filesystem::path target = pathOfUtf8(path);
    std::string name =
        utf8OfPath(target.parent_path() / pathOfUtf8("." + utf8OfPath(target.filename()) + "."));
    for (int i = 0; i < 6; ++i)
        name += letters[pick(random)];
    return name;
}
