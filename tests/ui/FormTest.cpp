// The real window in this process, so that each control's own font can be asked for.
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace sorvane::ids;

// A hook refuses the controls: the failure comes back for start-up to show, with no quit
// message left to close that message at once. (It registers the window class first.)
TEST(Form, AFailedBuildIsReportedAndEndsNothing) {
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

// Each control's font is the face asked for, and each text it can show fits in what its own
// drawing leaves (a button's glyph and gap, a frame's indent, a push button's border).
void ExpectCaptionsFit(HWND window, const wchar_t* face, UINT dpi) {
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t kind[32] = {}, text[64] = {};
        GetClassNameW(control, kind, 32);
        GetWindowTextW(control, text, 64);
        std::vector<std::wstring> captions{text};
        if (GetDlgCtrlID(control) == QualityDesc) { // the description labels follow the sliders
            captions = {L"Highest quality, very slow", L"Good quality, slow", L"Medium quality",
                        L"Bad quality, fast", L"Poor quality, very fast"};
        } else if (GetDlgCtrlID(control) == BitrateDesc) {
            captions = {L"32 kbps", L"48 kbps", L"64 kbps", L"96 kbps", L"128 kbps", L"160 kbps"};
        }
        RECT client{};
        GetClientRect(control, &client);
        const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
        const int room = lstrcmpiW(kind, L"Button") != 0 ? client.right
                         : type == BS_GROUPBOX           ? client.right - 2 * px(8)
                         : type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON
                             ? client.right - GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) - px(4)
                             : client.right - 2 * px(3);
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        wchar_t used[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, used);
        TEXTMETRICW font{};
        GetTextMetricsW(dc, &font);
        if (lstrcmpiW(kind, TRACKBAR_CLASSW) != 0) { // a slider has no caption
            EXPECT_STREQ(used, face);
            EXPECT_TRUE(type == BS_GROUPBOX || font.tmHeight <= client.bottom) << text;
        }
        for (const std::wstring& caption : captions) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            EXPECT_LE(extent.cx, room) << '"' << caption << "\" at " << dpi << " DPI in " << face;
        }
        ReleaseDC(control, dc);
    }
}

// The UI font changes while the window is open: it lays itself out again at once. Then DPIs.
TEST(Form, EveryCaptionFitsItsControlAtEveryDpiAndFont) {
    sorvane::Form1 form(u"");
    ASSERT_EQ(form.Show(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE), 0u);
    HWND window = form.Handle();
    NONCLIENTMETRICSW saved{};
    saved.cbSize = sizeof(saved);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    // Windows' older UI font, and one wider than Segoe UI at the largest common size.
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
    DestroyWindow(window);
}

} // namespace
