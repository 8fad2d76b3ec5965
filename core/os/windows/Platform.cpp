#include "Platform.h"

#include "FileSystem.h"
#include "WindowsText.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <shlobj.h>

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

std::filesystem::path userNamesFile() {
    wchar_t* folder = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(folder, CoTaskMemFree);
    if (FAILED(found))
        return {};
    return std::filesystem::path(folder) / L"Tarvon Add-ons" / L"names.cfg";
}

std::vector<std::string> commandLineWords(int, char**) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> owned(words, LocalFree);
    std::vector<std::string> utf8;
    for (int i = 1; words && i < count; ++i)
        utf8.push_back(utf8Of(words[i]));
    return utf8;
}

// The tool's output is bytes, a patch's among them: the C library's text
// mode would turn each LF into CR LF.
void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool standardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

namespace {

// Standard output or error as the program was given it, else that of the
// console it was started from; none when it was started from no console.
HANDLE commandLineStream(bool error) {
    const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    const HANDLE given = GetStdHandle(which);
    if (given && given != INVALID_HANDLE_VALUE)
        return given;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return nullptr;
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    return console == INVALID_HANDLE_VALUE ? nullptr : console;
}

} // namespace

void showCommandLineText(const std::string& utf8, bool error) {
    const HANDLE stream = commandLineStream(error);
    DWORD mode = 0;
    if (stream && GetConsoleMode(stream, &mode)) {
        const std::wstring utf16 = utf16Of(utf8);
        DWORD written = 0;
        WriteConsoleW(stream, utf16.data(), DWORD(utf16.size()), &written, nullptr);
    } else if (stream) {
        DWORD written = 0;
        WriteFile(stream, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    } else {
        MessageBoxW(nullptr, utf16Of(utf8).c_str(), L"Tarvon Add-ons",
                    MB_OK | (error ? MB_ICONWARNING : MB_ICONINFORMATION));
    }
}
