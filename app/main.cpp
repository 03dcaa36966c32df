#include "CommandLine.h"
#include "Form1.h"
#include "Win32.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // DLLs loaded from here on (the visual styles' DLL, what the file dialogs pull in) come
    // from the system folder only, never from the program's own folder, where a file named
    // like a system DLL may be waiting. The DLLs the loader bound before this line are not
    // covered; the known-DLL list keeps most of those in the system folder.
    // https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-setdefaultdlldirectories
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The start-up argument is the raw text after the program name, read from the process's
    // own command line so that nothing in it is lost or re-split.
    sorvane::Form1 form(
        std::u16string(sorvane::CommandLineTail(sorvane::FromWide(GetCommandLineW()))));
    if (const DWORD error = form.Show(instance, showCommand)) {
        const std::wstring text = sorvane::ErrorReport(error);
        MessageBoxW(nullptr, text.c_str(), L"Sorvane MP3 Encoder Interface", MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        form.Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}
