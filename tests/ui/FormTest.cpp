// The real window in this process, so that each control's own font can be asked for.
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// What a control's own painting inks of its client area: all of it, but for a label's caption
// and a check box's or option button's glyph and caption. Its top right corner is background.
RECT Ink(HWND control) {
    RECT inside{};
    GetClientRect(control, &inside);
    wchar_t kind[32] = {};
    GetClassNameW(control, kind, 32);
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiW(kind, L"Static") != 0 &&
        (lstrcmpiW(kind, L"Button") != 0 ||
         (type != BS_AUTOCHECKBOX && type != BS_AUTORADIOBUTTON))) {
        return inside;
    }
    HDC screen = GetDC(control);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, inside.right, inside.bottom);
    HGDIOBJ before = SelectObject(dc, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF paper = GetPixel(dc, inside.right - 1, 0);
    RECT ink{inside.right, inside.bottom, 0, 0};
    for (int x = 0; x < inside.right; ++x) {
        for (int y = 0; y < inside.bottom; ++y) {
            if (GetPixel(dc, x, y) != paper) {
                ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                       std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
            }
        }
    }
    SelectObject(dc, before);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(control, screen);
    return ink;
}

// Each control's font is the face asked for, and its caption fits in what its own
// drawing leaves (a button's glyph and gap, a frame's indent, a push button's border).
void ExpectCaptionsFit(HWND window, const wchar_t* face, UINT dpi) {
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t kind[32] = {}, text[64] = {};
        GetClassNameW(control, kind, 32);
        GetWindowTextW(control, text, 64);
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
        SIZE extent{};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
        EXPECT_LE(extent.cx, room) << '"' << text << "\" at " << dpi << " DPI in " << face;
        // The labels of the sliders' frames are centred, every other label starts at its left
        // (give or take a glyph's bearing).
        if (lstrcmpiW(kind, L"Static") == 0) {
            const int id = GetDlgCtrlID(control);
            const bool centred =
                id == Label4 || id == QualityDesc || id == Label6 || id == BitrateDesc;
            EXPECT_NEAR(Ink(control).left, centred ? (client.right - extent.cx) / 2 : 0, dpi / 48)
                << '"' << text << "\" at " << dpi << " DPI in " << face;
        }
        ReleaseDC(control, dc);
    }
}

// The relations a person checks, as each control is inked: each row's parts left to right on
// one line, each frame's contents inside it, nothing over another control but a
// frame over what it holds, and everything inside the window. False where the window is larger
// than the desktop, which Wine cuts it down to.
bool ExpectPlaces(HWND window, UINT dpi) {
    RECT outside{}, desktop{};
    GetWindowRect(window, &outside);
    GetClientRect(GetDesktopWindow(), &desktop);
    if (outside.right - outside.left >= desktop.right ||
        outside.bottom - outside.top >= desktop.bottom) {
        return false;
    }
    RECT inked[Command2 - Label1 + 1] = {}; // each control's ink, drawn once
    for (int id = Label1; id <= Command2; ++id) {
        HWND control = GetDlgItem(window, id);
        inked[id - Label1] = Ink(control);
        MapWindowPoints(control, window, reinterpret_cast<POINT*>(&inked[id - Label1]), 2);
    }
    const auto at = [&](int id) { return inked[id - Label1]; };
    const std::vector<std::vector<int>> rows = {{Label1, InputFileTxt, BrowBut1},
                                                {Label2, OutputFileTxt, BrowBut2},
                                                {Label3, Text1, Command2},
                                                {Frame2, Frame4}};
    const std::vector<std::vector<int>> frames = {
        {Frame1, StandardCh, CustomCh},
        {Frame2, EnableQual, Label4, Slider1, QualityDesc},
        {Frame3, DisableFiltering},
        {Frame4, EnableBitrate, Label6, Slider2, BitrateDesc}};
    RECT client{}, both{};
    GetClientRect(window, &client);
    const auto within = [&](const RECT& inner, const RECT& outer) {
        return IntersectRect(&both, &inner, &outer) && EqualRect(&both, &inner);
    };
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    for (const std::vector<int>& row : rows) {
        for (std::size_t i = 1; i < row.size(); ++i) {
            EXPECT_LE(at(row[i - 1]).right, at(row[i]).left) << row[i - 1] << " before " << row[i];
            const RECT before = at(row[i - 1]), next = at(row[i]); // next's middle by before
            EXPECT_TRUE(next.top + next.bottom > 2 * before.top &&
                        next.top + next.bottom < 2 * before.bottom)
                << row[i] << " on the row";
        }
    }
    for (const std::vector<int>& frame : frames) {
        for (std::size_t i = 1; i < frame.size(); ++i) {
            EXPECT_TRUE(within(at(frame[i]), at(frame[0]))) << frame[i] << " in " << frame[0];
        }
    }
    for (int one = Label1; one <= Command2; ++one) {
        EXPECT_TRUE(within(at(one), client)) << one;
        for (int other = one + 1; other <= Command2; ++other) {
            const bool holds = std::any_of(frames.begin(), frames.end(), [&](const auto& frame) {
                return frame[0] == one && std::count(frame.begin(), frame.end(), other) != 0;
            });
            const RECT a = at(one), b = at(other);
            EXPECT_TRUE(holds || !IntersectRect(&both, &a, &b)) << one << " over " << other;
        }
    }
    return true;
}

// The UI font changes while the window is open: it lays itself out again at once. Then DPIs.
// At each, every caption fits and every control is in its place.
TEST(Form, EveryControlFitsItsCaptionAndItsPlaceAtEveryDpiAndFont) {
    sorvane::Form1 form(u"");
    ASSERT_EQ(form.Show(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE), 0u);
    HWND window = form.Handle();
    int placed =
        0; // the fonts and DPIs at which the window fits the desktop, 96 and 144 among them
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
        placed += ExpectPlaces(window, GetDpiForWindow(window));
        for (const UINT dpi : {120u, 144u, 192u, 96u}) {
            RECT suggested{0, 0, 100, 100};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            ExpectCaptionsFit(window, face, dpi);
            placed += ExpectPlaces(window, dpi);
        }
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    EXPECT_GE(placed, 5);
    DestroyWindow(window);
}

} // namespace
