#include "FileDialogs.h"

#include "Win32.h"

#include <commdlg.h>

namespace sorvane {

namespace {

// Room for the longest path Windows allows, with its terminating null.
constexpr DWORD kPathCapacity = 32768;

using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// The dialogs come from comdlg32, which with what it pulls in costs megabytes of memory and
// time at start-up; it is loaded on the first "Browse...". Null when it cannot be loaded.
FileDialogFunction LoadFileDialog(bool save) {
    static SystemLibrary comdlg32(L"comdlg32.dll");
    return comdlg32.Get<FileDialogFunction>(save ? "GetSaveFileNameW" : "GetOpenFileNameW");
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
    // The dialogs leave the current folder as it was, whatever folder the user browsed to:
    // the encoder starts in it, and a relative path given at start-up is read against it.
    // OFN_NOCHANGEDIR does not work for the open dialog, so the folder is also put back here.
    // https://learn.microsoft.com/windows/win32/api/commdlg/ns-commdlg-openfilenamew
    dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    std::wstring folder(kPathCapacity, L'\0');
    folder.resize(GetCurrentDirectoryW(kPathCapacity, folder.data()));
    const FileDialogFunction run = LoadFileDialog(save);
    const bool chosen = run != nullptr && run(&dialog);
    if (!folder.empty()) {
        SetCurrentDirectoryW(folder.c_str());
    }
    if (!chosen) {
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
