#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace sorvane {

// The longest command line CreateProcessW takes, without its terminating null.
inline constexpr std::size_t kMaxCommandLine = 32766;

// The folder that holds Sorvane.exe, with its trailing backslash.
std::wstring OwnFolder();

// The full path of the program that a command line starts: its first word, looked for in
// Sorvane's own folder, the system folders and then the folders on PATH, read as cmd.exe reads
// them (SearchFolders). Unlike CreateProcessW's own search, never in the current folder, where a
// program of the same name could have been planted beside the files the user opened. Empty when it
// is nowhere.
std::wstring FindProgram(std::wstring_view commandLine);

// The program that a found one stands for: the one that a Scoop shim (a .shim file beside it)
// names, or where a symbolic link leads, by its final path; `found` when that cannot be told.
std::wstring RealProgram(const std::wstring& found);

// What starting a command came to.
struct StartResult {
    DWORD error = 0;      // 0, or the Windows error number
    std::wstring name;    // the program as the command names it
    std::wstring program; // its full path; empty when it was found nowhere
};

// Starts the command line as a new process in its own console window, shown normally with
// the focus, and does not wait for it. The program is looked for by FindProgram; when it is
// nowhere the error is ERROR_FILE_NOT_FOUND. The process starts in `folder`, or in the
// current folder when that is null. A command that Windows would cut short is refused whole.
StartResult StartProcess(std::u16string_view commandLine, const wchar_t* folder = nullptr);

// Starts the encoder's command in the current folder, where a relative path given at
// start-up resolves, and sounds the system beep once it has been started.
StartResult LaunchEncoder(std::u16string_view command);

} // namespace sorvane
