// The baselines of the benchmark: the least a Win32 program does to show a window of
// Sorvane's client size (592x360 at 96 DPI) and wait for input. Built twice: bare, as
// MinimalWindow.exe, and as StyledWindow.exe, the floor that any window with visual styles
// pays: with SORVANE_STYLED_FLOOR it initialises the same common controls as Sorvane, and its
// resources carry Sorvane's manifest (common controls 6, per-monitor DPI awareness).
#include <windows.h>

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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
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
    RECT rect{0, 0, 592, 360};
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
