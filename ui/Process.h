#pragma once

#include <windows.h>

#include <string_view>

namespace sorvane {

// The longest command line CreateProcessW takes, without its terminating null.
inline constexpr std::size_t kMaxCommandLine = 32766;

// Starts the command line as a new process in its own console window, shown normally with
// the focus, and does not wait for it. The program, the command's first word with its
// extension, is looked for in Sorvane's own folder, the system folders and the folders on
// PATH, never in the current folder. Returns 0, or the Windows error number when the process
// could not be started (ERROR_FILE_NOT_FOUND when the program is nowhere); a command that
// Windows would cut short is refused whole.
DWORD StartProcess(std::u16string_view commandLine);

// Starts the encoder's command and sounds the system beep once it has been started.
DWORD LaunchEncoder(std::u16string_view command);

} // namespace sorvane
