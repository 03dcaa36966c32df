// The real window in this process, driven by synchronous messages through the program's own
// keyboard handling: what it shows and draws, at every DPI, UI font and system colours.
#include "ControlIds.h"
#include "Form1.h"
#include "Seen.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

using namespace sorvane::ids;

// Each control as described, in tab order: its frame (0: the client area, 8880 by 5400 twips),
// place and size there in twips, and, as the window opens, its kind, style and text.
struct Place {
    int id, in, left, top, width, height;
    const wchar_t* kind;
    DWORD style;
    const wchar_t* text = L"";
};
const wchar_t *const kLabel = L"Static", *const kButton = L"Button", *const kBox = L"Edit";
constexpr DWORD kOff = WS_DISABLED, kCheck = BS_CHECKBOX, kFrame = BS_GROUPBOX;
// Horizontal, a tick at every position below the track, no selection range.
constexpr DWORD kTrack = TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | kOff;
const Place kPlaces[] = {
    {Label1, 0, 120, 120, 495, 255, kLabel, SS_LEFT, L"Input:"},
    {Label2, 0, 120, 480, 615, 255, kLabel, SS_LEFT, L"Output:"},
    {InputFileTxt, 0, 720, 120, 3135, 285, kBox, kOff},
    {OutputFileTxt, 0, 720, 480, 3135, 285, kBox, kOff},
    {BrowBut1, 0, 3960, 120, 975, 255, kButton, BS_PUSHBUTTON, L"Browse..."},
    {BrowBut2, 0, 3960, 480, 975, 255, kButton, BS_PUSHBUTTON, L"Browse..."},
    {Frame1, 0, 5040, 0, 3735, 855, kButton, kFrame, L"Encoding Settings"},
    {StandardCh, Frame1, 120, 240, 2655, 255, kButton, BS_RADIOBUTTON, L"Standard"},
    {CustomCh, Frame1, 120, 480, 2655, 255, kButton, BS_RADIOBUTTON, L"Custom"},
    {Command1, 0, 1800, 4920, 4935, 375, kButton, BS_PUSHBUTTON, L"Start Encoding"},
    {Label3, 0, 120, 4440, 1455, 255, kLabel, SS_LEFT, L"Additional Options:"},
    {Text1, 0, 1560, 4440, 3375, 285, kBox, 0},
    {Frame2, 0, 840, 960, 3615, 1575, kButton, kFrame | kOff,
     L"Noise shaping and psyco acoustic algorithms"},
    {Label4, Frame2, 120, 480, 3375, 255, kLabel, SS_CENTER | kOff, L"Quality:"},
    {Slider1, Frame2, 120, 720, 3375, 375, TRACKBAR_CLASSW, kTrack},
    {QualityDesc, Frame2, 240, 1200, 3135, 255, kLabel, SS_CENTER | kOff,
     L"Highest quality, very slow"},
    {EnableQual, Frame2, 120, 240, 3375, 255, kButton, kCheck | kOff, L"Enable"},
    {Frame3, 0, 3000, 2640, 3135, 1695, kButton, kFrame | kOff, L"Misc"},
    {DisableFiltering, Frame3, 120, 240, 2775, 255, kButton, kCheck | kOff,
     L"Disable all filtering"},
    {Frame4, 0, 4560, 960, 3615, 1575, kButton, kFrame | kOff, L"Constant bitrate settings"},
    {EnableBitrate, Frame4, 120, 240, 3375, 255, kButton, kCheck | kOff, L"Enable"},
    {Slider2, Frame4, 120, 720, 3375, 375, TRACKBAR_CLASSW, kTrack},
    {BitrateDesc, Frame4, 240, 1200, 3135, 255, kLabel, SS_CENTER | kOff, L"128 kbps"},
    {Label6, Frame4, 120, 480, 3375, 255, kLabel, SS_CENTER | kOff, L"Bitrate:"},
    {Command2, 0, 5040, 4440, 1095, 255, kButton, BS_PUSHBUTTON, L"Info"},
};

// What is done: a control clicked (a button) or given the focus, a key pressed (codes below 100), a
// slider's thumb dragged, or the window left for another and activated again.
constexpr int kAway = 0;
constexpr int Drag(int slider, int to) {
    return slider * 100 + to;
}

// Dialogs and message boxes refused, as each would wait for a person; and controls, when asked.
int refused = 0;
bool refuseControls = false;

LRESULT CALLBACK Refuse(int code, WPARAM, LPARAM l) {
    const auto* made = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWND*>(l)->lpcs : nullptr;
    const bool dialog = made && made->lpszClass == WC_DIALOG;
    refused += dialog;
    return dialog || (made && refuseControls && (made->style & WS_CHILD));
}

// The window as the program shows it, asked to show maximized (as a shortcut may), its message
// loop's handling of what is queued, and no dialog or box.
struct Window : sorvane::Form1 {
    explicit Window(const std::wstring& argument = L"")
        : Form1(std::u16string(argument.begin(), argument.end())),
          hook(SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {
        EXPECT_EQ(Show(GetModuleHandleW(nullptr), SW_SHOWMAXIMIZED), 0u);
    }
    ~Window() {
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(std::exchange(refused, 0), 0) << "a dialog or box was opened";
        DestroyWindow(Handle());
        UnregisterClassW(SORVANE_WINDOW_CLASS, GetModuleHandleW(nullptr));
        MSG quit; // posted as the window closed; it would end the next window's loop
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }

    void Do(const std::vector<int>& actions) {
        for (const int action : actions) {
            HWND control = Item(action >= Drag(Label1, 0) ? action / 100 : action);
            if (action == kAway) {
                DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                              nullptr, nullptr, nullptr, nullptr));
            } else if (action < 100) {
                PostMessageW(GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(action), 1);
                PostMessageW(GetFocus(), WM_KEYUP, static_cast<WPARAM>(action), 0xC0000001);
            } else if (!IsWindowEnabled(control) || !IsWindowVisible(control)) {
                ADD_FAILURE() << action << " is out of reach"; // a person could not use it
            } else if (action >= Drag(Label1, 0)) { // the thumb moves, and the slider tells of it
                SendMessageW(control, TBM_SETPOS, TRUE, action % 100);
                SendMessageW(Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, action % 100),
                             reinterpret_cast<LPARAM>(control));
            } else if (kPlaces[action - Label1].kind == kButton) {
                SendMessageW(control, BM_CLICK, 0, 0);
            } else {
                SetFocus(control);
            }
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
                if (!TranslateKeys(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
        }
    }
    HHOOK hook;
};

// Started with a quoted path and more, as Windows passes it, the window opens at its own size and
// shows the paths, the output's box the end of its path.
TEST(Form, OpensWithItsPathsAtItsOwnSize) {
    const std::wstring music = L"C:\\Users\\Someone\\Music\\Artist Name\\2026 - A Rather Long "
                               L"Album Title\\07 - A Rather Long Track Title (Live).";
    const Window window(L"\"" + music + L"wav\" /extra");
    EXPECT_FALSE(IsZoomed(window.Handle()));
    EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWL_STYLE) &
                  (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU),
              WS_SYSMENU);
    HWND box = window.Item(OutputFileTxt);
    EXPECT_EQ(Text(window.Item(InputFileTxt)) + L"|" + Text(box), music + L"wav|" + music + L"mp3");
    RECT inside{};
    GetClientRect(box, &inside);
    const auto end =
        static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, music.size() + 2, 0)));
    EXPECT_TRUE(end >= 0 && end < inside.right) << end;
}

// Every control's state in tab order, a blank where a frame's controls begin or end (e enabled,
// - disabled, x checked, h hidden; a capital has the focus); the descriptions; Text1's text.
std::wstring State(const Window& window) {
    std::wstring line;
    for (const Place& place : kPlaces) {
        HWND control = window.Item(place.id);
        const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        line += &place != kPlaces && place.in != (&place - 1)->in ? L" " : L"";
        const int mark = !IsWindowVisible(control) ? 3 : checked ? 2 : !!IsWindowEnabled(control);
        line += (control == GetFocus() ? L"-EXH" : L"-exh")[mark];
    }
    return line + L" " + Text(window.Item(QualityDesc)) + L"|" + Text(window.Item(BitrateDesc)) +
           L"|" + Text(window.Item(Text1));
}

TEST(Form, FollowsClicksAndKeys) {
    const std::pair<std::vector<int>, const wchar_t*> cases[] = {
        {{CustomCh, EnableQual, EnableBitrate, DisableFiltering, StandardCh, CustomCh},
         L"ee--eee eX eeee eeee e e e eeee e Highest quality, very slow|128 kbps|"},
        // Tab and the arrows through the window, typing on the way; away from it and back.
        {{VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_TAB, 'V', VK_SPACE, '2', VK_TAB, VK_TAB, VK_SPACE,
          VK_ESCAPE, VK_RETURN, kAway},
         L"ee--eee ex eeee eeeX e e e eeee e Highest quality, very slow|128 kbps|v 2"},
        {{CustomCh, Slider1, VK_NEXT, VK_RIGHT, VK_RIGHT, Slider2, VK_HOME, VK_RIGHT},
         L"ee--eee ex eeee eeee e e e eEee e Bad quality, fast|48 kbps|"},
        {{CustomCh, Slider2, VK_END, VK_PRIOR, Drag(Slider1, 3)},
         L"ee--eee ex eeee eeee e e e eEee e Good quality, slow|32 kbps|"}};
    for (const auto& [does, state] : cases) {
        SCOPED_TRACE(testing::PrintToString(does));
        Window window;
        window.Do(does);
        EXPECT_EQ(State(window), state);
    }
}

// A hook refuses the controls: the failure comes back for start-up to show, with no quit message
// left to close that box at once.
TEST(Form, AFailedBuildIsReportedAndEndsNothing) {
    refuseControls = true;
    HHOOK hook = SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId());
    sorvane::Form1 form(u"");
    EXPECT_NE(form.Show(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE), 0u);
    UnhookWindowsHookEx(hook);
    refuseControls = false;
    UnregisterClassW(SORVANE_WINDOW_CLASS, GetModuleHandleW(nullptr));
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// At a DPI: every control where described, scaled by one factor; each caption fitting in the UI
// font; every pixel as the system's own controls, made as described in a window of the test's,
// draw it in that font and the system's colours.
void ExpectLaidOut(HWND window, const wchar_t* face, UINT dpi) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI in " << face);
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    RECT area{};
    GetClientRect(window, &area);
    const int perInch = MulDiv(area.right, 1440, 8880);
    const auto scaled = [perInch](int twips) -> LONG { return MulDiv(twips, perInch, 1440); };
    // Its height only at its own DPI: a DPI change sent by hand leaves the title bar as it was.
    EXPECT_TRUE(dpi != GetDpiForWindow(window) || std::abs(area.bottom - scaled(5400)) <= 1)
        << area.bottom;
    NONCLIENTMETRICSW metrics{sizeof(metrics)};
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    POINT corner{};
    ClientToScreen(window, &corner);
    HWND described = CreateWindowExW(WS_EX_NOACTIVATE, L"Static", L"", WS_POPUP, corner.x, corner.y,
                                     area.right, area.bottom, window, {}, {}, {});
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    for (const Place& place : kPlaces) {
        const Place& in = place.in == 0 ? Place{} : kPlaces[place.in - Label1];
        const int left = place.left + in.left, top = place.top + in.top;
        const RECT there{scaled(left), scaled(top), scaled(left + place.width),
                         scaled(top + place.height)};
        RECT drawn{};
        GetWindowRect(GetDlgItem(window, place.id), &drawn);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&drawn), 2);
        EXPECT_TRUE(EqualRect(&drawn, &there)) << place.id;

        HWND copy = CreateWindowExW(place.kind == kBox ? WS_EX_CLIENTEDGE : 0, place.kind,
                                    place.text, WS_CHILD | WS_VISIBLE | place.style, there.left,
                                    there.top, there.right - there.left, there.bottom - there.top,
                                    described, {}, {}, {});
        SendMessageW(copy, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(copy, TBM_SETRANGEMAX, FALSE, place.id == Slider1 ? 9 : 5);
        SendMessageW(copy, TBM_SETPOS, TRUE, place.id == Slider2 ? 4 : 0);
        SendMessageW(copy, BM_SETCHECK, place.id == StandardCh, 0);
        // Room for a push button's border, a frame's indent, a check box's glyph and gap.
        const bool push = (place.style & BS_TYPEMASK) == BS_PUSHBUTTON;
        const LONG room = place.kind != kButton ? 0 : px(push ? 6 : 17);
        SIZE extent{};
        GetTextExtentPoint32W(dc, place.text, lstrlenW(place.text), &extent);
        EXPECT_LE(extent.cx, there.right - there.left - room) << place.text;
    }
    SetFocus(nullptr); // no focus frame or caret: the copy has none
    ShowWindow(described, SW_SHOWNOACTIVATE);
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message); // each paints what it has to, and no more
    }
    const std::vector<DWORD> shown = Pixels(window, area), meant = Pixels(described, area);
    const auto at = std::mismatch(shown.begin(), shown.end(), meant.begin()).first - shown.begin();
    EXPECT_EQ(at, shown.end() - shown.begin())
        << "drawn otherwise at " << at % area.right << "," << at / area.right;
    DeleteDC(dc);
    DestroyWindow(described);
    DeleteObject(font);
}

// The window as it opens; with another UI font; at each DPI, told first to give the size it
// takes then; in a high-contrast scheme of the system's colours.
TEST(Form, EveryControlFitsItsCaptionAndItsPlaceAndIsDrawnAsDescribed) {
    const Window form;
    HWND window = form.Handle();
    ExpectLaidOut(window, L"the UI font", GetDpiForWindow(window));
    NONCLIENTMETRICSW saved{sizeof(saved)};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    // Windows' older UI font, and one wider than Segoe UI at the largest common size.
    for (const auto& [face, points] : {std::pair{L"Tahoma", 8}, std::pair{L"DejaVu Sans", 9}}) {
        NONCLIENTMETRICSW metrics = saved;
        lstrcpynW(metrics.lfMessageFont.lfFaceName, face, LF_FACESIZE);
        metrics.lfMessageFont.lfHeight = -MulDiv(points, 96, 72);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        // What Windows tells every top-level window when the setting changes.
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
        ExpectLaidOut(window, face, GetDpiForWindow(window));
        for (const UINT dpi : {120u, 144u, 192u, 96u}) {
            SIZE size{};
            EXPECT_TRUE(
                SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
            RECT suggested{0, 0, size.cx, size.cy}, after{};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(window, &after);
            EXPECT_TRUE(EqualRect(&after, &suggested)) << size.cx << "x" << size.cy;
            ExpectLaidOut(window, face, dpi);
        }
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    const int parts[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_GRAYTEXT,
                         COLOR_3DSHADOW};
    const COLORREF contrast[] = {0, RGB(255, 255, 0), RGB(0, 0, 128), RGB(0, 255, 0), 0xFF00FF};
    COLORREF was[std::size(parts)];
    std::transform(std::begin(parts), std::end(parts), was, GetSysColor);
    SetSysColors(std::size(parts), parts, contrast);
    SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0); // as Windows tells every top-level window
    ExpectLaidOut(window, L"high contrast", GetDpiForWindow(window));
    SetSysColors(std::size(parts), parts, was);
}

} // namespace
