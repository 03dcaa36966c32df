// Answers to lame.exe inside Wine for the Linux run: starts the Linux lame with the same
// arguments, each Windows path among them turned into the Linux path Wine maps it to.
// Every other argument passes on unchanged.
#include "CommandLine.h"

#include <windows.h>

#include <string>

namespace {

using UnixFileName = char*(__cdecl*)(const wchar_t*);

bool LooksLikeWindowsPath(const std::wstring& arg) {
    return (arg.size() >= 3 && arg[1] == L':' && (arg[2] == L'\\' || arg[2] == L'/')) ||
           arg.rfind(L"\\\\", 0) == 0;
}

std::wstring ToLinuxPath(const std::wstring& path) {
    static const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return path;
    }
    char* unixName = convert(path.c_str());
    if (unixName == nullptr) {
        return path;
    }
    // The Linux name is UTF-8; Wine gives Linux programs their arguments as UTF-8 too.
    const int length = MultiByteToWideChar(CP_UTF8, 0, unixName, -1, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length > 0 ? length - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixName, -1, result.data(), length);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::u16string command = u"Z:\\usr\\bin\\lame";
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (LooksLikeWindowsPath(arg)) {
            arg = ToLinuxPath(arg);
        }
        command += u' ';
        command += sorvane::QuoteArgument(std::u16string(arg.begin(), arg.end()));
    }
    std::wstring line(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return static_cast<int>(GetLastError());
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    Sleep(2000); // leave the encoder's last words on screen for a moment
    return static_cast<int>(code);
}
