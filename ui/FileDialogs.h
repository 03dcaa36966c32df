#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace sorvane {

// The system's open dialog for an existing wave file. Empty when cancelled or failed.
std::optional<std::u16string> ShowOpenWaveDialog(HWND owner);

// The system's save dialog for an MP3 file; it asks before replacing an existing file.
std::optional<std::u16string> ShowSaveMp3Dialog(HWND owner);

} // namespace sorvane
