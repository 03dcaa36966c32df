// Stands in for lame.exe and notepad.exe: appends to %SORVANE_RECORD_DIR%\records the UTF-16 lines
// of its command line, folder, console window as a person sees it, process id, and a form feed.
#include <windows.h>

#include <string>

int wmain() {
    std::wstring record = GetCommandLineW();
    wchar_t text[32768];
    record += L"\n" + std::wstring(text, GetCurrentDirectoryW(32768, text)) + L"\n";
    // A slow console host (Wine's took over 3 s) may lack a window: ask for 10 s, less once it has.
    HWND console = nullptr;
    for (int i = 0; i < 100 && GetForegroundWindow() != (console = GetConsoleWindow());
         i += console != nullptr ? 3 : 1) {
        Sleep(100);
    }
    record += console != nullptr ? L"console" : L"";
    record += IsWindowVisible(console) ? L" shown" : L"";
    record += IsIconic(console) ? L" minimized" : L"";
    record += IsZoomed(console) ? L" maximized" : L"";
    record += GetForegroundWindow() == console ? L" in front" : L"";
    record += L"\n" + std::to_wstring(GetCurrentProcessId()) + L"\f";
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
