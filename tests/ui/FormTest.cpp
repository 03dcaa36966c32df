// The real window in this process, driven by synchronous messages that go through the program's
// own keyboard handling: what it shows as it opens and after clicks and keys, where each control
// sits and whether each caption fits, at every DPI and UI font.
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace sorvane::ids;

// The frames, each with what it holds.
const std::vector<std::vector<int>> kFrames = {
    {Frame1, StandardCh, CustomCh},
    {Frame2, EnableQual, Label4, Slider1, QualityDesc},
    {Frame3, DisableFiltering},
    {Frame4, EnableBitrate, Label6, Slider2, BitrateDesc}};

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
            HWND control = Item(action);
            if (action == kAway) {
                DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                              nullptr, nullptr, nullptr, nullptr));
            } else if (action < 100) {
                PostMessageW(GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(action), 1);
                PostMessageW(GetFocus(), WM_KEYUP, static_cast<WPARAM>(action), 0xC0000001);
            } else if (action >= Drag(Label1, 0)) { // the thumb moves, and the slider tells of it
                control = Item(action / 100);
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

// What is done; then the round of the Tab key from the focus (unless none is given), the buttons
// checked and the sliders' two descriptions. The custom frames' captions and labels are enabled
// exactly when "Custom" is chosen (the round shows which other controls are).
struct Row {
    std::vector<int> does, round, checked;
    const wchar_t* described = L"Highest quality, very slow|128 kbps";
};

TEST(Form, FollowsClicksAndKeys) {
    const Row cases[] = {
        {{}, {BrowBut1, BrowBut2, StandardCh, Command1, Text1, Command2}, {StandardCh}},
        {{CustomCh, EnableQual, EnableBitrate, DisableFiltering, StandardCh, CustomCh},
         {CustomCh, Command1, Text1, Slider1, EnableQual, DisableFiltering, EnableBitrate, Slider2,
          Command2, BrowBut1, BrowBut2},
         {CustomCh}},
        {{VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_SPACE, VK_ESCAPE, VK_RETURN,
          kAway},
         {EnableQual, DisableFiltering, EnableBitrate, Slider2, Command2, BrowBut1, BrowBut2,
          CustomCh, Command1, Text1, Slider1},
         {CustomCh, EnableQual}},
        {{CustomCh, Slider1, VK_NEXT, VK_RIGHT, VK_RIGHT, Slider2, VK_HOME, VK_RIGHT},
         {},
         {CustomCh},
         L"Bad quality, fast|48 kbps"},
        {{CustomCh, Slider2, VK_END, VK_PRIOR, Drag(Slider1, 3)},
         {},
         {CustomCh},
         L"Good quality, slow|32 kbps"}};
    for (const Row& row : cases) {
        SCOPED_TRACE(testing::PrintToString(row.does));
        Window window;
        window.Do(row.does);
        std::vector<int> seen{window.Focus()}, on;
        for (window.Do({VK_TAB});
             !row.round.empty() && window.Focus() != seen[0] && seen.size() < 30;
             window.Do({VK_TAB})) {
            seen.push_back(window.Focus());
        }
        EXPECT_TRUE(row.round.empty() || seen == row.round) << testing::PrintToString(seen);
        for (int id = Label1; id <= Command2; ++id) {
            if (SendMessageW(window.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED) {
                on.push_back(id);
            }
        }
        EXPECT_EQ(on, row.checked);
        for (const int id : {Frame2, Label4, QualityDesc, Frame3, Frame4, Label6, BitrateDesc}) {
            EXPECT_EQ(IsWindowEnabled(window.Item(id)) != FALSE, on[0] == CustomCh) << id;
        }
        EXPECT_EQ(Text(window.Item(QualityDesc)) + L"|" + Text(window.Item(BitrateDesc)),
                  row.described);
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

// What a control's own painting inks of its client area: all of it, but for a label's caption
// and a check box's or option button's glyph and caption. Its top right corner is background.
RECT Ink(HWND control) {
    RECT inside{};
    GetClientRect(control, &inside);
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (!Is(control, L"Static") &&
        (!Is(control, L"Button") || (type != BS_AUTOCHECKBOX && type != BS_AUTORADIOBUTTON))) {
        return inside;
    }
    HDC screen = GetDC(control);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, inside.right, inside.bottom);
    SelectObject(dc, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF paper = GetPixel(dc, inside.right - 1, 0);
    RECT ink{};
    for (int x = 0; x < inside.right; ++x) {
        for (int y = 0; y < inside.bottom; ++y) {
            const RECT dot{x, y, x + 1, y + 1};
            if (GetPixel(dc, x, y) != paper) {
                UnionRect(&ink, &ink, &dot);
            }
        }
    }
    DeleteDC(dc);
    DeleteObject(bitmap);
    ReleaseDC(control, screen);
    return ink;
}

// At a DPI, as each control is inked: its font is the face asked for, its caption fits in what
// its drawing leaves (a button's glyph and gap, a frame's indent, a push button's border), the
// sliders' frames' labels centred and others at their left. Then each row left to right on one
// line, each frame's contents inside it, nothing over another but a frame over what it holds,
// all inside the window.
void ExpectLaidOut(HWND window, const wchar_t* face, UINT dpi) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI in " << face);
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    RECT inked[Command2 - Label1 + 1] = {}, client{}, both{};
    for (int id = Label1; id <= Command2; ++id) {
        HWND control = GetDlgItem(window, id);
        const std::wstring text = Text(control);
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
        RECT& ink = inked[id - Label1] = Ink(control);
        EXPECT_TRUE(Is(control, TRACKBAR_CLASSW) || lstrcmpW(used, face) == 0) << used;
        EXPECT_LE(extent.cx, room) << text;
        if (Is(control, L"Static")) {
            const bool centred =
                id == Label4 || id == QualityDesc || id == Label6 || id == BitrateDesc;
            EXPECT_NEAR(ink.left, centred ? (client.right - extent.cx) / 2 : 0, dpi / 48) << text;
        }
        MapWindowPoints(control, window, reinterpret_cast<POINT*>(&ink), 2);
    }
    GetClientRect(window, &client);
    const auto at = [&](int id) { return inked[id - Label1]; };
    const auto within = [&](const RECT& inner, const RECT& outer) {
        return IntersectRect(&both, &inner, &outer) && EqualRect(&both, &inner);
    };
    for (const std::vector<int>& row : {std::vector<int>{Label1, InputFileTxt, BrowBut1},
                                        {Label2, OutputFileTxt, BrowBut2},
                                        {Label3, Text1, Command2},
                                        {Frame2, Frame4}}) {
        for (std::size_t i = 1; i < row.size(); ++i) {
            const RECT before = at(row[i - 1]), next = at(row[i]); // next's middle by before
            EXPECT_LE(before.right, next.left) << row[i - 1] << " before " << row[i];
            EXPECT_LT(std::abs(next.top + next.bottom - before.top - before.bottom),
                      before.bottom - before.top)
                << row[i] << " on the row";
        }
    }
    for (int one = Label1; one <= Command2; ++one) {
        EXPECT_TRUE(within(at(one), client)) << one;
        for (int other = one + 1; other <= Command2; ++other) {
            const bool holds = std::any_of(kFrames.begin(), kFrames.end(), [&](const auto& frame) {
                return frame[0] == one && std::count(frame.begin(), frame.end(), other) != 0;
            });
            const RECT a = at(one), b = at(other);
            EXPECT_TRUE(holds || !IntersectRect(&both, &a, &b)) << one << " over " << other;
            EXPECT_TRUE(!holds || within(b, a)) << other << " in " << one;
        }
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
