// The real window, made in this process so that each control's own font can be asked for:
// every caption fits its control at several DPIs and UI fonts.
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace sorvane::ids;

HWND TheWindow() { // made once: a window class is registered once per process
    static sorvane::Form1 form(u"C:\\" + std::u16string(200, u'a') + u".wav");
    static const DWORD error = form.Show(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
    return error == 0 ? form.Handle() : nullptr;
}

std::wstring Text(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    return text;
}

bool IsClass(HWND control, const wchar_t* name) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    return lstrcmpiW(className, name) == 0;
}

// Every text a control shows: the description labels follow their sliders.
std::vector<std::wstring> Captions(HWND control) {
    switch (GetDlgCtrlID(control)) {
    case QualityDesc:
        return {L"Highest quality, very slow", L"Good quality, slow", L"Medium quality",
                L"Bad quality, fast", L"Poor quality, very fast"};
    case BitrateDesc:
        return {L"32 kbps", L"48 kbps", L"64 kbps", L"96 kbps", L"128 kbps", L"160 kbps"};
    default:
        return {Text(control)};
    }
}

// The width a control's own drawing leaves its caption: a check box or option button draws
// its glyph and a gap first, a frame indents its caption and leaves a gap after it, a push
// button keeps its border and focus frame clear.
int RoomFor(HWND control, int width, UINT dpi) {
    const auto px = [dpi](int pixelsAt96) { return MulDiv(pixelsAt96, static_cast<int>(dpi), 96); };
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (!IsClass(control, L"Button")) {
        return width;
    }
    if (type == BS_GROUPBOX) {
        return width - 2 * px(8);
    }
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) {
        return width - GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) - px(4);
    }
    return width - 2 * px(3);
}

// A window whose building fails (here a hook refuses its controls) returns the failure for
// start-up to show, and leaves no quit message behind that would close that message at once.
TEST(Form, AFailedBuildIsReportedAndEndsNothing) { // before TheWindow registers the class
    HOOKPROC refuse = [](int code, WPARAM, LPARAM l) -> LRESULT {
        return code == HCBT_CREATEWND &&
               (reinterpret_cast<CBT_CREATEWND*>(l)->lpcs->style & WS_CHILD);
    };
    HHOOK hook = SetWindowsHookExW(WH_CBT, refuse, nullptr, GetCurrentThreadId());
    sorvane::Form1 form(u"");
    EXPECT_NE(form.Show(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE), 0u);
    UnhookWindowsHookEx(hook);
    UnregisterClassW(SORVANE_WINDOW_CLASS, GetModuleHandleW(nullptr));
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Each caption in its control's own font: the face it asked for, and room for every text; a
// path box shows the end of a path too long for it.
void ExpectCaptionsFit(HWND window, const wchar_t* face, UINT dpi) {
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if (IsClass(control, L"msctls_trackbar32")) {
            continue; // no caption
        }
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        wchar_t used[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, used);
        EXPECT_STREQ(used, face);
        TEXTMETRICW font{};
        GetTextMetricsW(dc, &font);
        RECT client{};
        GetClientRect(control, &client);
        if (IsClass(control, L"Edit") && GetWindowTextLengthW(control) > 0) {
            const auto x = static_cast<short>(
                LOWORD(SendMessageW(control, EM_POSFROMCHAR,
                                    static_cast<WPARAM>(GetWindowTextLengthW(control) - 1), 0)));
            EXPECT_TRUE(x >= 0 && x < client.right) << x << " at " << dpi << " DPI in " << face;
            ReleaseDC(control, dc);
            continue;
        }
        for (const std::wstring& caption : Captions(control)) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            EXPECT_LE(extent.cx, RoomFor(control, client.right, dpi))
                << '"' << caption << "\" at " << dpi << " DPI in " << face;
        }
        if ((GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
            EXPECT_LE(font.tmHeight, client.bottom) << Text(control);
        }
        ReleaseDC(control, dc);
    }
}

// The UI font changes while the window is open, as when the user picks another font or text
// size: the window lays itself out again for it at once. Then the window moves through DPIs.
TEST(Form, EveryCaptionFitsItsControlAtEveryDpiAndFont) {
    HWND window = TheWindow();
    ASSERT_NE(window, nullptr);
    NONCLIENTMETRICSW saved{};
    saved.cbSize = sizeof(saved);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    // Tahoma 8 pt is Windows' older UI font; DejaVu Sans runs wider than Segoe UI, and at
    // 9 pt it stands for the largest common UI font.
    for (const auto& [face, points] : {std::pair{L"Tahoma", 8}, std::pair{L"DejaVu Sans", 9}}) {
        NONCLIENTMETRICSW metrics = saved;
        lstrcpynW(metrics.lfMessageFont.lfFaceName, face, LF_FACESIZE);
        metrics.lfMessageFont.lfHeight = -MulDiv(points, 96, 72);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        // What Windows tells every top-level window when the setting changes.
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
        ExpectCaptionsFit(window, face, GetDpiForWindow(window));
        for (const UINT dpi : {120u, 144u, 192u, 96u}) {
            RECT suggested{0, 0, 100, 100};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            ExpectCaptionsFit(window, face, dpi);
        }
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
}

} // namespace
