// The real window in this process, driven by synchronous messages that go through the program's
// own keyboard handling: what it shows as it opens and after clicks and keys, where each control
// sits and whether each caption fits, at every DPI and UI font.
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace sorvane::ids;

// Each control as the window is described, in tab order: its container (a frame, or 0 for the
// window's client area, 8880 by 5400), its left, top, width and height there in twips, and
// whether it is a label whose caption is centred.
struct Place {
    int id, in, left, top, width, height;
    bool centred = false;
};
const Place kPlaces[] = {
    {Label1, 0, 120, 120, 495, 255},
    {Label2, 0, 120, 480, 615, 255},
    {InputFileTxt, 0, 720, 120, 3135, 285},
    {OutputFileTxt, 0, 720, 480, 3135, 285},
    {BrowBut1, 0, 3960, 120, 975, 255},
    {BrowBut2, 0, 3960, 480, 975, 255},
    {Frame1, 0, 5040, 0, 3735, 855},
    {StandardCh, Frame1, 120, 240, 2655, 255},
    {CustomCh, Frame1, 120, 480, 2655, 255},
    {Command1, 0, 1800, 4920, 4935, 375},
    {Label3, 0, 120, 4440, 1455, 255},
    {Text1, 0, 1560, 4440, 3375, 285},
    {Frame2, 0, 840, 960, 3615, 1575},
    {Label4, Frame2, 120, 480, 3375, 255, true},
    {Slider1, Frame2, 120, 720, 3375, 375},
    {QualityDesc, Frame2, 240, 1200, 3135, 255, true},
    {EnableQual, Frame2, 120, 240, 3375, 255},
    {Frame3, 0, 3000, 2640, 3135, 1695},
    {DisableFiltering, Frame3, 120, 240, 2775, 255},
    {Frame4, 0, 4560, 960, 3615, 1575},
    {EnableBitrate, Frame4, 120, 240, 3375, 255},
    {Slider2, Frame4, 120, 720, 3375, 375},
    {BitrateDesc, Frame4, 240, 1200, 3135, 255, true},
    {Label6, Frame4, 120, 480, 3375, 255, true},
    {Command2, 0, 5040, 4440, 1095, 255},
};

bool Is(HWND control, const wchar_t* kind) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    return lstrcmpiW(name, kind) == 0;
}

std::wstring Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

// What a row does: a control clicked (a button) or given the focus (any other), a key pressed
// (codes below 100), a slider's thumb dragged, or the window left for another and activated again.
constexpr int kAway = 0;
constexpr int Drag(int slider, int to) {
    return slider * 100 + to;
}

// Dialogs and message boxes refused: each would wait for a person.
int refused = 0;

LRESULT CALLBACK Refuse(int code, WPARAM, LPARAM l) {
    const bool dialog =
        code == HCBT_CREATEWND && reinterpret_cast<CBT_CREATEWND*>(l)->lpcs->lpszClass == WC_DIALOG;
    refused += dialog;
    return dialog;
}

// The window as the program shows it (asked to show maximized, as a shortcut may), with the
// message loop's handling of what is queued, and no dialog or box.
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
    int Focus() const { return GetDlgCtrlID(GetFocus()); }

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
            } else if (Is(control, L"Button")) {
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

// Started with a quoted path and more, as Windows passes the text after the program's name, the
// window opens at its own size and shows the paths, each box the end of its path. A screen reader
// names a box or slider by the nearest label before it, unless a tab group starts first.
TEST(Form, OpensWithItsPathsAndNames) {
    const std::wstring music = L"C:\\Users\\Someone\\Music\\Artist Name\\2026 - A Rather Long "
                               L"Album Title\\07 - A Rather Long Track Title (Live).";
    const Window window(L"\"" + music + L"wav\" /extra");
    EXPECT_EQ(Text(window.Handle()), L"Sorvane MP3 Encoder Interface");
    EXPECT_FALSE(IsZoomed(window.Handle()));
    EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWL_STYLE) &
                  (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU),
              WS_SYSMENU);
    for (const auto& [id, path] :
         {std::pair{InputFileTxt, music + L"wav"}, {OutputFileTxt, music + L"mp3"}}) {
        HWND box = window.Item(id);
        EXPECT_EQ(Text(box), path);
        RECT inside{};
        GetClientRect(box, &inside);
        const auto end =
            static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, path.size() - 1, 0)));
        EXPECT_TRUE(end >= 0 && end < inside.right) << end;
    }
    EXPECT_EQ(SendMessageW(window.Item(Slider1), TBM_GETNUMTICS, 0, 0), 10); // a tick a step
    EXPECT_EQ(SendMessageW(window.Item(Slider2), TBM_GETNUMTICS, 0, 0), 6);
    std::wstring names; // of the boxes and sliders, whose own text is no name
    for (const int id : {InputFileTxt, OutputFileTxt, Text1, Slider1, Slider2}) {
        HWND label = window.Item(id);
        do {
            label = GetWindow(label, GW_HWNDPREV);
        } while (label != nullptr && !Is(label, L"Static") &&
                 (~GetWindowLongPtrW(label, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) != 0);
        names += (Is(label, L"Static") ? Text(label) : L"") + L"|";
    }
    EXPECT_EQ(names, L"Input:|Output:|Additional Options:|Quality:|Bitrate:|");
}

// Every control's state as a person sees it, in tab order, with a blank where the controls go
// into a frame or out of one (e enabled, - disabled, x checked, h hidden); then the sliders'
// descriptions.
std::wstring State(const Window& window) {
    std::wstring line;
    for (const Place& place : kPlaces) {
        HWND control = window.Item(place.id);
        const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        line += &place != kPlaces && place.in != (&place - 1)->in ? L" " : L"";
        line += L"-exh"[!IsWindowVisible(control) ? 3 : checked ? 2 : !!IsWindowEnabled(control)];
    }
    return line + L" " + Text(window.Item(QualityDesc)) + L"|" + Text(window.Item(BitrateDesc));
}

// What is done; then the window's state, and the round of the Tab key from the focus.
struct Row {
    std::vector<int> does;
    const wchar_t* state;
    std::vector<int> round = {};
};

TEST(Form, FollowsClicksAndKeys) {
    const Row cases[] = {
        {{},
         L"ee--eee xe eee- ---- - - - ---- e Highest quality, very slow|128 kbps",
         {BrowBut1, BrowBut2, StandardCh, Command1, Text1, Command2}},
        {{CustomCh, EnableQual, EnableBitrate, DisableFiltering, StandardCh, CustomCh},
         L"ee--eee ex eeee eeee e e e eeee e Highest quality, very slow|128 kbps",
         {CustomCh, Command1, Text1, Slider1, EnableQual, DisableFiltering, EnableBitrate, Slider2,
          Command2, BrowBut1, BrowBut2}},
        {{VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_SPACE, VK_ESCAPE, VK_RETURN,
          kAway},
         L"ee--eee ex eeee eeex e e e eeee e Highest quality, very slow|128 kbps",
         {EnableQual, DisableFiltering, EnableBitrate, Slider2, Command2, BrowBut1, BrowBut2,
          CustomCh, Command1, Text1, Slider1}},
        {{CustomCh, Slider1, VK_NEXT, VK_RIGHT, VK_RIGHT, Slider2, VK_HOME, VK_RIGHT},
         L"ee--eee ex eeee eeee e e e eeee e Bad quality, fast|48 kbps"},
        {{CustomCh, Slider2, VK_END, VK_PRIOR, Drag(Slider1, 3)},
         L"ee--eee ex eeee eeee e e e eeee e Good quality, slow|32 kbps"}};
    for (const Row& row : cases) {
        SCOPED_TRACE(testing::PrintToString(row.does));
        Window window;
        window.Do(row.does);
        EXPECT_EQ(State(window), row.state);
        std::vector<int> seen{window.Focus()};
        for (window.Do({VK_TAB});
             !row.round.empty() && window.Focus() != seen[0] && seen.size() < 30;
             window.Do({VK_TAB})) {
            seen.push_back(window.Focus());
        }
        EXPECT_TRUE(row.round.empty() || seen == row.round) << testing::PrintToString(seen);
    }
}

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

// At a DPI: the window and every control where it is described, scaled by one factor, each edge
// to the nearest pixel; each control's font the face asked for, its caption fitting in what its
// drawing leaves (a button's glyph and gap, a frame's indent, a push button's border), and a
// label's caption centred or at its left as described.
void ExpectLaidOut(HWND window, const wchar_t* face, UINT dpi) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI in " << face);
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    RECT area{};
    GetClientRect(window, &area);
    const int perInch = MulDiv(area.right, 1440, 8880);
    const auto scaled = [perInch](int twips) -> LONG { return MulDiv(twips, perInch, 1440); };
    // Its height only at its own DPI: a DPI change sent by hand leaves its title bar as it was.
    EXPECT_TRUE(dpi != GetDpiForWindow(window) || std::abs(area.bottom - scaled(5400)) <= 1)
        << area.bottom;
    for (const Place& place : kPlaces) {
        HWND control = GetDlgItem(window, place.id);
        const Place& in = place.in == 0 ? Place{} : kPlaces[place.in - Label1];
        const int left = place.left + in.left, top = place.top + in.top;
        RECT drawn{};
        GetWindowRect(control, &drawn);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&drawn), 2);
        const std::array<LONG, 4> is{drawn.left, drawn.top, drawn.right, drawn.bottom};
        EXPECT_EQ(is, (std::array{scaled(left), scaled(top), scaled(left + place.width),
                                  scaled(top + place.height)}))
            << place.id;

        const std::wstring text = Text(control);
        RECT client{};
        GetClientRect(control, &client);
        const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
        const int room = !Is(control, L"Button") ? client.right
                         : type == BS_GROUPBOX   ? client.right - 2 * px(8)
                         : type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON
                             ? client.right - GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) - px(4)
                             : client.right - 2 * px(3);
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        wchar_t used[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, used);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ReleaseDC(control, dc);
        EXPECT_TRUE(Is(control, TRACKBAR_CLASSW) || lstrcmpW(used, face) == 0) << used;
        EXPECT_LE(extent.cx, room) << text;
        EXPECT_TRUE(!Is(control, L"Static") ||
                    (GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) ==
                        (place.centred ? SS_CENTER : SS_LEFT))
            << text;
    }
}

// The UI font changes while the window is open: it lays itself out again at once. Then DPIs.
TEST(Form, EveryControlFitsItsCaptionAndItsPlaceAtEveryDpiAndFont) {
    const Window form;
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
        ExpectLaidOut(window, face, GetDpiForWindow(window));
        for (const UINT dpi : {120u, 144u, 192u, 96u}) {
            RECT suggested{0, 0, 100, 100};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            ExpectLaidOut(window, face, dpi);
        }
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
}

} // namespace
