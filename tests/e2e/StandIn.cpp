// Stands in for lame.exe and notepad.exe: records how it was started, then exits.
// The record is one file per process in %SORVANE_RECORD_DIR%: UTF-16 fields, each ended by
// a null: the raw command line, the show-window value it was given (-1 for none), "1" when
// it has a console window of its own, then argv as the C runtime split it.
#include <windows.h>

#include <string>

namespace {

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), 32768);
    value.resize(length < 32768 ? length : 0);
    return value;
}

std::wstring ProgramName() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring folder = Environment(L"SORVANE_RECORD_DIR");
    if (folder.empty()) {
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    std::wstring record = GetCommandLineW();
    record += L'\0';
    record +=
        std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? int{startup.wShowWindow} : -1);
    record += L'\0';
    record += GetConsoleWindow() != nullptr ? L"1" : L"0";
    record += L'\0';
    for (int i = 0; i < argc; ++i) {
        record += argv[i];
        record += L'\0';
    }
    // Written under a temporary name and renamed, so a reader never sees half a record.
    const std::wstring name = folder + L"\\" + ProgramName() + L"-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64());
    HANDLE file = CreateFileW((name + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, record.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes ||
        !MoveFileExW((name + L".tmp").c_str(), (name + L".rec").c_str(), 0)) {
        return 4;
    }
    const std::wstring linger = Environment(L"SORVANE_STANDIN_LINGER_MS");
    if (!linger.empty()) {
        Sleep(static_cast<DWORD>(std::stoul(linger)));
    }
    return 0;
}
