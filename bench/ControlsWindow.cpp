// The benchmark's floor: Sorvane's window with its 25 controls, made the plainest way. A plain
// window class and window procedure; Sorvane's manifest (common controls 6, per-monitor DPI
// awareness) and the same common controls initialised; the window's UI font for its DPI; every
// control created by CreateWindowEx at its place with that font before the window is shown; a
// GetMessage loop with IsDialogMessage.
//
// The controls come from the ui library's CreateControls, which is that plainest way already:
// one CreateWindowEx and one WM_SETFONT a control, from a table of places, then the initial
// values (the selected option, the sliders' ranges and positions). Writing that table a second
// time here would only let the two drift apart. What Sorvane does beyond it is left out, as it
// is what the benchmark weighs: measuring every caption for the scale, the screen-reader
// objects, the start-up argument and the paths.
//
// Sorvane raises its scale above the DPI when a caption would not fit in the UI font (Wine's
// Tahoma needs 101 pixels per inch at 96 DPI). So that the floor has Sorvane's client size and
// places without measuring anything, the benchmark gives that scale, in pixels per inch, as the
// only argument; without one, the scale is the DPI.
#include "Layout.h"

#include <commctrl.h>

#include <cwchar>

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        // The manifest's fallback, per-monitor awareness of its first version, scales the
        // title bar and borders only when asked here.
        EnableNonClientDpiScaling(window);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The message font that Windows gives dialogs, at the DPI.
HFONT CreateUiFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"SorvaneBenchControlsWindow";
    if (!RegisterClassExW(&windowClass)) {
        return 1;
    }
    // Created hidden at the system's default place, so that the DPI of the monitor it opens on
    // is known before its size, its font and its controls are made.
    HWND window = CreateWindowExW(kExStyle, windowClass.lpszClassName, L"Controls window", kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    const UINT dpi = GetDpiForWindow(window);
    const long given = std::wcstol(arguments, nullptr, 10);
    const sorvane::Scale scale{given > 0 ? static_cast<int>(given) : static_cast<int>(dpi)};
    RECT rect{0, 0, scale.Pixels(sorvane::kClientWidthTwips),
              scale.Pixels(sorvane::kClientHeightTwips)};
    AdjustWindowRectExForDpi(&rect, kStyle, FALSE, kExStyle, dpi);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    HFONT font = CreateUiFont(dpi);
    if (!sorvane::CreateControls(window, instance, scale, font)) {
        return 1;
    }
    ShowWindow(window, showCommand);
    // The keyboard starts at the first control that takes it, as in a dialog.
    SetFocus(GetNextDlgTabItem(window, nullptr, FALSE));
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DeleteObject(font);
    return static_cast<int>(message.wParam);
}
