#include "Win32.h"

namespace sorvane {

namespace {

// Windows' own description of an error number, without the trailing line break. It is read
// with its inserts left as they are, as a caller cannot know how many a system message wants;
// then each %1, in the descriptions of a failed start the program's path, is filled.
std::wstring ErrorText(DWORD error, std::wstring_view insert) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"Unknown error";
    }
    for (std::size_t at = 0; (at = text.find(L"%1", at)) != std::wstring::npos;) {
        text.replace(at, 2, insert);
        at += insert.size();
    }
    return text;
}

} // namespace

std::wstring ErrorReport(DWORD error, std::wstring_view insert) {
    return L"Error " + std::to_wstring(error) + L": " + ErrorText(error, insert);
}

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return FromWide(text);
}

void SetWindowText(HWND window, std::u16string_view text) {
    SetWindowTextW(window, ToWide(text).c_str());
}

} // namespace sorvane
