// Stands in for lame.exe and notepad.exe: appends to %SORVANE_RECORD_DIR%\records the UTF-16
// lines of its command line, current folder, 1 when it has a console window of its own (else 0),
// its process id, and a form feed.
#include <windows.h>

#include <string>

int wmain() {
    std::wstring record = GetCommandLineW();
    wchar_t text[32768];
    record += L"\n" + std::wstring(text, GetCurrentDirectoryW(32768, text));
    // A console host that is slow to start may not have made its window yet: ask again awhile
    // (Wine's has been seen to take more than three seconds).
    for (int i = 0; i < 100 && GetConsoleWindow() == nullptr; ++i) {
        Sleep(100);
    }
    record += GetConsoleWindow() != nullptr ? L"\n1\n" : L"\n0\n";
    record += std::to_wstring(GetCurrentProcessId()) + L"\f";
    const DWORD length = GetEnvironmentVariableW(L"SORVANE_RECORD_DIR", text, 32700);
    // Appended in one write, so that two stand-ins started at once keep their records whole.
    HANDLE file = CreateFileW((std::wstring(text, length) + L"\\records").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    return 0;
}
