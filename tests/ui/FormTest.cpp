// The real window in this process, driven by synchronous messages that go through the program's
// own keyboard handling: what it shows as it opens and after clicks and keys, where each control
// sits and whether each caption fits, at every DPI and UI font.
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <tuple>
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

// The window as the program shows it (asked to show maximized, as a shortcut may), with the
// message loop's handling of what is queued.
class Window {
  public:
    explicit Window(const std::wstring& argument = L"")
        : form_(std::u16string(argument.begin(), argument.end())) {
        EXPECT_EQ(form_.Show(GetModuleHandleW(nullptr), SW_SHOWMAXIMIZED), 0u);
    }
    ~Window() {
        DestroyWindow(form_.Handle());
        UnregisterClassW(SORVANE_WINDOW_CLASS, GetModuleHandleW(nullptr));
        MSG quit; // posted as the window closed; it would end the next window's loop
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    HWND Handle() const { return form_.Handle(); }
    HWND Item(int id) const { return GetDlgItem(form_.Handle(), id); }
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
                if (!form_.TranslateKeys(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
        }
    }

  private:
    sorvane::Form1 form_;
};

// Started with a path, as Windows passes the text after the program's name, the window opens at
// its own size and shows the paths, each box the end of its path; each slider is set up. Each
// control's name for a person and a screen reader, in tab-index order, is its caption, or for a
// box or slider the nearest label before it, unless a tab group starts first.
TEST(Form, OpensWithItsPathsAndNames) {
    const std::wstring music = L"C:\\Users\\Someone\\Music\\Artist Name\\2026 - A Rather Long "
                               L"Album Title\\07 - A Rather Long Track Title (Live).";
    const std::tuple<std::wstring, std::wstring, std::wstring> starts[] = {
        {L"", L"", L""},
        {L"\"C:\\My Music\\a.wav\" /extra", L"C:\\My Music\\a.wav", L"C:\\My Music\\a.mp3"},
        {L"ab", L"", L""},
        {music + L"wav", music + L"wav", music + L"mp3"}};
    for (const auto& [argument, input, output] : starts) {
        SCOPED_TRACE(argument);
        const Window window(argument);
        EXPECT_EQ(Text(window.Handle()), L"Sorvane MP3 Encoder Interface");
        EXPECT_FALSE(IsZoomed(window.Handle()));
        EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWL_STYLE) &
                      (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU),
                  WS_SYSMENU);
        for (const auto& [id, path] : {std::pair{InputFileTxt, input}, {OutputFileTxt, output}}) {
            HWND box = window.Item(id);
            EXPECT_EQ(Text(box), path);
            RECT inside{};
            GetClientRect(box, &inside);
            const auto end =
                static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, path.size() - 1, 0)));
            EXPECT_TRUE(path.empty() || (end >= 0 && end < inside.right)) << end;
        }
        for (const auto& [id, maximum, position] : {std::tuple{Slider1, 9, 0}, {Slider2, 5, 4}}) {
            const auto ask = [&](UINT message) {
                return SendMessageW(window.Item(id), message, 0, 0);
            };
            EXPECT_EQ(std::vector<LRESULT>({ask(TBM_GETRANGEMIN), ask(TBM_GETRANGEMAX),
                                            ask(TBM_GETNUMTICS), ask(TBM_GETPOS),
                                            GetWindowLongPtrW(window.Item(id), GWL_STYLE) &
                                                (TBS_VERT | TBS_TOP | TBS_BOTH | TBS_NOTICKS)}),
                      std::vector<LRESULT>({0, maximum, maximum + 1, position, 0}))
                << id;
        }
        std::wstring names;
        for (int id = Label1; id <= Command2; ++id) {
            HWND control = window.Item(id), label = control;
            while (label != nullptr && (Is(control, L"Edit") || Is(control, TRACKBAR_CLASSW)) &&
                   (label == control ||
                    (!Is(label, L"Static") &&
                     (~GetWindowLongPtrW(label, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) != 0))) {
                label = GetWindow(label, GW_HWNDPREV);
            }
            names += (Is(label, L"Static") || label == control ? Text(label) : L"") + L"|";
        }
        EXPECT_EQ(names, L"Input:|Output:|Input:|Output:|Browse...|Browse...|Encoding Settings|"
                         L"Standard|Custom|Start Encoding|Additional Options:|Additional Options:|"
                         L"Noise shaping and psyco acoustic algorithms|Quality:|Quality:|Highest "
                         L"quality, very slow|Enable|Misc|Disable all filtering|Constant bitrate "
                         L"settings|Enable|Bitrate:|128 kbps|Bitrate:|Info|");
    }
}

// What is done; then the round of the Tab key from the focus (unless none is given), the buttons
// checked and the sliders' two descriptions. The custom frames and all they hold are enabled
// exactly when "Custom" is chosen, and the path boxes never.
TEST(Form, FollowsClicksAndKeys) {
    const std::wstring start = L"Highest quality, very slow|128 kbps";
    const std::tuple<std::vector<int>, std::vector<int>, std::vector<int>, std::wstring> cases[] = {
        {{}, {BrowBut1, BrowBut2, StandardCh, Command1, Text1, Command2}, {StandardCh}, start},
        {{CustomCh},
         {CustomCh, Command1, Text1, Slider1, EnableQual, DisableFiltering, EnableBitrate, Slider2,
          Command2, BrowBut1, BrowBut2},
         {CustomCh},
         start},
        {{CustomCh, EnableQual, EnableBitrate, DisableFiltering},
         {},
         {CustomCh, EnableQual, DisableFiltering, EnableBitrate},
         start},
        {{CustomCh, EnableQual, EnableBitrate, DisableFiltering, StandardCh, CustomCh},
         {},
         {CustomCh},
         start},
        {{VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_SPACE},
         {EnableQual, DisableFiltering, EnableBitrate, Slider2, Command2, BrowBut1, BrowBut2,
          CustomCh, Command1, Text1, Slider1},
         {CustomCh, EnableQual},
         start},
        {{Text1, VK_ESCAPE, VK_RETURN, kAway},
         {Text1, Command2, BrowBut1, BrowBut2, StandardCh, Command1},
         {StandardCh},
         start},
        {{CustomCh, Slider1, VK_NEXT, VK_RIGHT, VK_RIGHT, Slider2, VK_LEFT},
         {},
         {CustomCh},
         L"Bad quality, fast|96 kbps"},
        {{CustomCh, Slider1, VK_END, Slider2, VK_HOME},
         {},
         {CustomCh},
         L"Poor quality, very fast|32 kbps"},
        {{CustomCh, Slider1, VK_NEXT, VK_PRIOR, Slider2, VK_END},
         {},
         {CustomCh},
         L"Highest quality, very slow|160 kbps"},
        {{CustomCh, Drag(Slider1, 3), Drag(Slider2, 0)},
         {},
         {CustomCh},
         L"Good quality, slow|32 kbps"}};
    for (const auto& [does, round, checked, described] : cases) {
        SCOPED_TRACE(testing::PrintToString(does));
        Window window;
        window.Do(does);
        std::vector<int> seen{window.Focus()}, on;
        for (window.Do({VK_TAB}); !round.empty() && window.Focus() != seen[0] && seen.size() < 30;
             window.Do({VK_TAB})) {
            seen.push_back(window.Focus());
        }
        EXPECT_TRUE(round.empty() || seen == round) << testing::PrintToString(seen);
        const bool custom = SendMessageW(window.Item(CustomCh), BM_GETCHECK, 0, 0) == BST_CHECKED;
        for (int id = Label1; id <= Command2; ++id) {
            if (SendMessageW(window.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED) {
                on.push_back(id);
            }
            const bool inCustom = std::any_of(kFrames.begin() + 1, kFrames.end(), [&](auto& frame) {
                return std::count(frame.begin(), frame.end(), id) != 0;
            });
            EXPECT_EQ(IsWindowEnabled(window.Item(id)) != FALSE,
                      inCustom ? custom : id != InputFileTxt && id != OutputFileTxt)
                << id;
        }
        EXPECT_EQ(on, checked);
        EXPECT_EQ(Text(window.Item(QualityDesc)) + L"|" + Text(window.Item(BitrateDesc)),
                  described);
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
    HGDIOBJ before = SelectObject(dc, bitmap);
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
    SelectObject(dc, before);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(control, screen);
    return ink;
}

// At a DPI, as each control is inked: its font is the face asked for and its caption fits in what
// its own drawing leaves (a button's glyph and gap, a frame's indent, a push button's border); the
// labels of the sliders' frames are centred, the others start at their left (give or take a
// glyph's bearing). Then, unless the window is larger than the desktop, which Wine cuts it down
// to (false), the places a person checks: each row's parts left to right on one line, each
// frame's contents inside it, nothing over another control but a frame over what it holds, and
// everything inside the window.
bool ExpectLaidOut(HWND window, const wchar_t* face, UINT dpi) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI in " << face);
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    RECT inked[Command2 - Label1 + 1] = {}, client{}, both{}, outside{}, desktop{};
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
    GetWindowRect(window, &outside);
    GetClientRect(GetDesktopWindow(), &desktop);
    if (outside.right - outside.left >= desktop.right ||
        outside.bottom - outside.top >= desktop.bottom) {
        return false;
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
            const auto frame = std::find_if(kFrames.begin(), kFrames.end(),
                                            [&](const auto& frame) { return frame[0] == one; });
            const bool holds =
                frame != kFrames.end() && std::count(frame->begin(), frame->end(), other) != 0;
            const RECT a = at(one), b = at(other);
            EXPECT_TRUE(holds || !IntersectRect(&both, &a, &b)) << one << " over " << other;
            EXPECT_TRUE(!holds || within(b, a)) << other << " in " << one;
        }
    }
    return true;
}

// The UI font changes while the window is open: it lays itself out again at once. Then DPIs.
TEST(Form, EveryControlFitsItsCaptionAndItsPlaceAtEveryDpiAndFont) {
    const Window form;
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
        placed += ExpectLaidOut(window, face, GetDpiForWindow(window));
        for (const UINT dpi : {120u, 144u, 192u, 96u}) {
            RECT suggested{0, 0, 100, 100};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            placed += ExpectLaidOut(window, face, dpi);
        }
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved), &saved, 0);
    EXPECT_GE(placed, 5);
}

} // namespace
