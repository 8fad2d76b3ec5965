#include "WindowsText.h"

#include <memory>

std::wstring utf16Of(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring utf16(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), utf16.data(), size);
    return utf16;
}

std::string utf8Of(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

std::string systemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, LocalFree);
    if (length == 0)
        return "Error " + std::to_string(error);
    std::wstring_view words(text, length);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' ||
                              words.back() == L' ' || words.back() == L'.'))
        words.remove_suffix(1);
    return utf8Of(words);
}
