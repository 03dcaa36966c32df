#include "Process.h"

#include "Win32.h"

namespace sorvane {

DWORD StartProcess(std::u16string_view commandLine) {
    if (commandLine.size() > kMaxCommandLine) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    if (commandLine.find(u'\0') != std::u16string_view::npos) {
        return ERROR_INVALID_PARAMETER; // it would end the command early
    }
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring buffer = ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup,
                        &info)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    return 0;
}

DWORD LaunchEncoder(std::u16string_view command) {
    const DWORD error = StartProcess(command);
    if (error == 0) {
        MessageBeep(MB_OK);
    }
    return error;
}

} // namespace sorvane
