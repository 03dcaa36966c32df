#include "FileDialogs.h"

#include "Win32.h"

#include <commdlg.h>

namespace sorvane {

namespace {

// Room for the longest path Windows allows, with its terminating null.
constexpr DWORD kPathCapacity = 32768;

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
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
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
