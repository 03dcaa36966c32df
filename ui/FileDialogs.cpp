#include "FileDialogs.h"

#include "Win32.h"

#include <commdlg.h>

namespace sorvane {

namespace {

// Room for the longest path Windows allows, with its terminating null.
constexpr DWORD kPathCapacity = 32768;

using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// The dialogs come from comdlg32, which with what it pulls in costs megabytes of memory and
// time at start-up; it is loaded on the first "Browse...", from the system folder only.
// Null when it cannot be loaded.
FileDialogFunction LoadFileDialog(bool save) {
    static HMODULE comdlg32 = nullptr; // kept loaded once loaded
    if (comdlg32 == nullptr) {
        comdlg32 = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (comdlg32 == nullptr) {
            return nullptr;
        }
    }
    const FARPROC function =
        GetProcAddress(comdlg32, save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    // Through the generic function type, which every compiler accepts as a cast target.
    return reinterpret_cast<FileDialogFunction>(reinterpret_cast<void (*)()>(function));
}

std::optional<std::u16string> RunFileDialog(HWND owner, const wchar_t* filter,
                                            const wchar_t* defaultExtension, DWORD flags,
                                            bool save) {
    std::wstring file(kPathCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kPathCapacity; // in characters, not bytes
    dialog.lpstrDefExt = defaultExtension;
    // The dialogs leave the current folder alone, so the program search for the encoder
    // stays the same whatever folder the user browsed to.
    dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    const FileDialogFunction run = LoadFileDialog(save);
    if (run == nullptr || !run(&dialog)) {
        return std::nullopt;
    }
    file.resize(file.find(L'\0'));
    return FromWide(file);
}

} // namespace

std::optional<std::u16string> ShowOpenWaveDialog(HWND owner) {
    return RunFileDialog(owner, L"Wave files\0*.wav\0", nullptr, OFN_FILEMUSTEXIST, false);
}

std::optional<std::u16string> ShowSaveMp3Dialog(HWND owner) {
    return RunFileDialog(owner, L"MP3 Files\0*.mp3\0", L"mp3", OFN_OVERWRITEPROMPT, true);
}

} // namespace sorvane
