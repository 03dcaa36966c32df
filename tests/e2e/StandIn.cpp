// Stands in for lame.exe and notepad.exe: records how it was started, then exits. Each start
// writes one file in %SORVANE_RECORD_DIR%, named by the start time, of UTF-16 lines: the raw
// command line, the current folder, the show-window value (-1 for none), and 1 when the
// program has a console window of its own.
#include <windows.h>

#include <cstdio>
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
    // A console host that is slow to start may not have made its window yet: ask again awhile.
    for (int i = 0; i < 30 && GetConsoleWindow() == nullptr; ++i) {
        Sleep(100);
    }
    record += GetConsoleWindow() != nullptr ? L"\n1" : L"\n0";
    wchar_t path[32768];
    const DWORD length = GetEnvironmentVariableW(L"SORVANE_RECORD_DIR", path, 32700);
    if (length == 0 || length >= 32700) {
        return 2;
    }
    std::swprintf(path + length, 64, L"\\%020llu-%lu.rec", GetTickCount64(), GetCurrentProcessId());
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    const auto bytes = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    const bool ok = WriteFile(file, record.data(), bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return ok ? 0 : 3;
}
