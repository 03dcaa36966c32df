// Context for the benchmark: the least a Win32 program does to show an empty window of
// Sorvane's client size and wait for input. That size is the layout's 8880 by 5400 twips at the
// scale, in pixels per inch, given as the only argument (the benchmark gives Sorvane's), or at
// 96 without one: 592x360, whatever the DPI. Built twice: bare, as MinimalWindow.exe, and as
// StyledWindow.exe, what any window with visual styles pays: with SORVANE_STYLED_FLOOR it
// initialises the same common controls as Sorvane, and its resources carry Sorvane's manifest
// (common controls 6, per-monitor DPI awareness).
#include "Layout.h"

#include <windows.h>

#include <cwchar>

#ifdef SORVANE_STYLED_FLOOR
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand) {
#ifdef SORVANE_STYLED_FLOOR
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"SorvaneBenchMinimalWindow";
    if (!RegisterClassExW(&windowClass)) {
        return 1;
    }
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    const long given = std::wcstol(arguments, nullptr, 10);
    const sorvane::Scale scale{given > 0 ? static_cast<int>(given) : USER_DEFAULT_SCREEN_DPI};
    RECT rect{0, 0, scale.Pixels(sorvane::kClientWidthTwips),
              scale.Pixels(sorvane::kClientHeightTwips)};
    AdjustWindowRectEx(&rect, style, FALSE, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Minimal window", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
