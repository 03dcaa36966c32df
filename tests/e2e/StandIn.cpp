// Stands in for lame.exe and notepad.exe: appends to %SORVANE_RECORD_DIR%\records the UTF-16
// lines of its command line, current folder, show-window value (-1 for none), 1 when it has a
// console window of its own, its process id, and a form feed.
#include <windows.h>

#include <string>

int wmain() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    std::wstring record = GetCommandLineW();
    wchar_t folder[32768];
    record += L"\n" + std::wstring(folder, GetCurrentDirectoryW(32768, folder));
    record +=
        L"\n" + std::to_wstring(startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1);
    // A console host that is slow to start may not have made its window yet: ask again awhile
    // (Wine's has been seen to take more than three seconds).
    for (int i = 0; i < 100 && GetConsoleWindow() == nullptr; ++i) {
        Sleep(100);
    }
    record += GetConsoleWindow() != nullptr ? L"\n1\n" : L"\n0\n";
    record += std::to_wstring(GetCurrentProcessId()) + L"\f";
    wchar_t path[32768];
    const DWORD length = GetEnvironmentVariableW(L"SORVANE_RECORD_DIR", path, 32700);
    if (length == 0 || length >= 32700) {
        return 2;
    }
    // Appended in one write, so that two stand-ins started at once keep their records whole.
    HANDLE file = CreateFileW((std::wstring(path, length) + L"\\records").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const auto bytes = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    const bool ok = WriteFile(file, record.data(), bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return ok ? 0 : 3;
}
