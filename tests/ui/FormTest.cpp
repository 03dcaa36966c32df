// The real window in this process, used as a person uses it: clicks, keys and typing through the
// program's own message handling. Then what each control shows, draws and tells a screen reader,
// at every DPI, UI font and system colours, and what a box of the window says.
#include "ControlIds.h"
#include "Form1.h"
#include "Person.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

using namespace sorvane::ids;

// Each control as described, in tab order: its frame (0: the client area, 8880 by 5400 twips),
// place and size there in twips, and, as the window opens, its kind, style and text; where that
// is not its name, what a screen reader calls it.
struct Place {
    int id, in, left, top, width, height;
    const wchar_t* kind;
    DWORD style;
    const wchar_t *text = L"", *name = nullptr;
};
const wchar_t *const kLabel = L"Static", *const kButton = L"Button", *const kBox = L"Edit";
constexpr DWORD kOff = WS_DISABLED, kCheck = BS_CHECKBOX, kFrame = BS_GROUPBOX;
// Horizontal, a tick at every position below the track, no selection range.
constexpr DWORD kTrack = TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | kOff;
const Place kPlaces[] = {
    {Label1, 0, 120, 120, 495, 255, kLabel, SS_LEFT, L"Input:"},
    {Label2, 0, 120, 480, 615, 255, kLabel, SS_LEFT, L"Output:"},
    {InputFileTxt, 0, 720, 120, 3135, 285, kBox, kOff, L"", L"Input:"},
    {OutputFileTxt, 0, 720, 480, 3135, 285, kBox, kOff, L"", L"Output:"},
    {BrowBut1, 0, 3960, 120, 975, 255, kButton, BS_PUSHBUTTON, L"Browse..."},
    {BrowBut2, 0, 3960, 480, 975, 255, kButton, BS_PUSHBUTTON, L"Browse..."},
    {Frame1, 0, 5040, 0, 3735, 855, kButton, kFrame, L"Encoding Settings"},
    {StandardCh, Frame1, 120, 240, 2655, 255, kButton, BS_RADIOBUTTON, L"Standard"},
    {CustomCh, Frame1, 120, 480, 2655, 255, kButton, BS_RADIOBUTTON, L"Custom"},
    {Command1, 0, 1800, 4920, 4935, 375, kButton, BS_PUSHBUTTON, L"Start Encoding"},
    {Label3, 0, 120, 4440, 1455, 255, kLabel, SS_LEFT, L"Additional Options:"},
    {Text1, 0, 1560, 4440, 3375, 285, kBox, 0, L"", L"Additional Options:"},
    {Frame2, 0, 840, 960, 3615, 1575, kButton, kFrame | kOff,
     L"Noise shaping and psyco acoustic algorithms"},
    {Label4, Frame2, 120, 480, 3375, 255, kLabel, SS_CENTER | kOff, L"Quality:"},
    {Slider1, Frame2, 120, 720, 3375, 375, TRACKBAR_CLASSW, kTrack, L"", L"Quality:"},
    {QualityDesc, Frame2, 240, 1200, 3135, 255, kLabel, SS_CENTER | kOff,
     L"Highest quality, very slow"},
    {EnableQual, Frame2, 120, 240, 3375, 255, kButton, kCheck | kOff, L"Enable",
     L"Enable Noise shaping and psyco acoustic algorithms"},
    {Frame3, 0, 3000, 2640, 3135, 1695, kButton, kFrame | kOff, L"Misc"},
    {DisableFiltering, Frame3, 120, 240, 2775, 255, kButton, kCheck | kOff,
     L"Disable all filtering"},
    {Frame4, 0, 4560, 960, 3615, 1575, kButton, kFrame | kOff, L"Constant bitrate settings"},
    {EnableBitrate, Frame4, 120, 240, 3375, 255, kButton, kCheck | kOff, L"Enable",
     L"Enable Constant bitrate settings"},
    {Slider2, Frame4, 120, 720, 3375, 375, TRACKBAR_CLASSW, kTrack, L"", L"Bitrate:"},
    {BitrateDesc, Frame4, 240, 1200, 3135, 255, kLabel, SS_CENTER | kOff, L"128 kbps"},
    {Label6, Frame4, 120, 480, 3375, 255, kLabel, SS_CENTER | kOff, L"Bitrate:"},
    {Command2, 0, 5040, 4440, 1095, 255, kButton, BS_PUSHBUTTON, L"Info"},
};
// The words beside each slider: of the quality slider, two levels a text; of the bitrate slider,
// one position a text.
const wchar_t* const kQuality[] = {L"Highest quality, very slow", L"Good quality, slow",
                                   L"Medium quality", L"Bad quality, fast",
                                   L"Poor quality, very fast"};
const wchar_t* const kBitrates[] = {L"32 kbps", L"48 kbps",  L"64 kbps",
                                    L"96 kbps", L"128 kbps", L"160 kbps"};

// What a person finds in the window: each field as the window opens unless a case says otherwise.
struct Seen {
    std::wstring input, output; // the paths shown
    bool custom = false;        // "Custom" chosen: the three frames and all in them usable
    std::vector<int> ticked;    // the check boxes ticked
    int quality = 0;            // the level
    std::wstring bitrate = L"128 kbps";
    std::wstring options; // in "Additional Options:"
    int focus = BrowBut1;
    std::wstring box; // parts, between '|', of what a box of the window said
};

// What a control shows as its text.
std::wstring Shown(const Seen& seen, const Place& place) {
    return place.id == InputFileTxt    ? seen.input
           : place.id == OutputFileTxt ? seen.output
           : place.id == Text1         ? seen.options
           : place.id == QualityDesc   ? kQuality[seen.quality / 2]
           : place.id == BitrateDesc   ? seen.bitrate
                                       : place.text;
}

// A control as a person finds it: what a screen reader says of it, and whether it is out of reach
// (disabled or hidden), ticked (a check box or option chosen) or has the focus.
std::wstring Line(HWND control, const std::wstring& heard, bool focus) {
    const bool off = !IsWindowEnabled(control) || !IsWindowVisible(control);
    const bool ticked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return heard + (off ? L", off" : L"") + (ticked ? L", ticked" : L"") +
           (focus ? L", focus" : L"") + L"\n";
}

// The window's message boxes are read and closed as they show: their caption, text, one button
// "OK", Windows' error icon and their owner. Any other dialog is refused, as it would wait for a
// person; and the controls too, when asked.
std::wstring boxes;
bool refuseControls = false;

LRESULT CALLBACK Refuse(int code, WPARAM w, LPARAM l) {
    const auto* made = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWND*>(l)->lpcs : nullptr;
    HWND box = reinterpret_cast<HWND>(w);
    if (code == HCBT_ACTIVATE && GetClassLongW(box, GCW_ATOM) == 32770) { // a dialog, shown
        HWND icon = GetDlgItem(box, 20) ? GetDlgItem(box, 20) : GetDlgItem(box, 1088); // Wine's
        EXPECT_TRUE(GetDlgItem(box, 0xFFFF)) << "a dialog other than a box was opened";
        boxes += Text(GetDlgItem(box, 0xFFFF)); // its text, static 0xFFFF
        EXPECT_EQ(Text(box) + L"|" + Text(GetDlgItem(box, IDOK)),
                  L"Sorvane MP3 Encoder Interface|OK");
        EXPECT_TRUE(!GetDlgItem(box, IDCANCEL) && GetWindow(box, GW_OWNER) == GetActiveWindow());
        EXPECT_EQ(SendMessageW(icon, STM_GETICON, 0, 0),
                  reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_ERROR)));
        PostMessageW(box, WM_COMMAND, GetDlgItem(box, 0xFFFF) ? IDOK : IDCANCEL, 0);
    }
    return made && refuseControls && (made->style & WS_CHILD);
}

// The window as the program shows it, asked to show maximized (as a shortcut may), with PATH
// given folders before the rest; no dialog but its boxes.
struct Window : sorvane::Form1 {
    explicit Window(const std::wstring& argument = L"", const std::wstring& path = L"")
        : Form1(std::u16string(argument.begin(), argument.end())),
          hook(SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {
        was.resize(GetEnvironmentVariableW(L"PATH", was.data(), 32767));
        SetEnvironmentVariableW(L"PATH", (path + L";" + was).c_str());
        EXPECT_EQ(Show(GetModuleHandleW(nullptr), SW_SHOWMAXIMIZED), 0u);
    }
    ~Window() {
        UnhookWindowsHookEx(hook);
        SetEnvironmentVariableW(L"PATH", was.c_str());
        DestroyWindow(Handle());
        UnregisterClassW(SORVANE_WINDOW_CLASS, GetModuleHandleW(nullptr));
        MSG quit; // posted as the window closed; it would end the next window's loop
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Each step, then what the program's message loop does with what it brought; a screen reader
    // asks of every control after every step, as it is told of each change.
    void Do(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            const auto* click = std::get_if<Click>(&step);
            const auto* drag = std::get_if<Drag>(&step);
            HWND control = GetDlgItem(Handle(), click ? click->control : drag ? drag->slider : 0);
            if (std::holds_alternative<LeaveAndComeBack>(step)) {
                DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                              nullptr, nullptr, nullptr, nullptr));
            } else if (!click && !drag) {
                SendKeys(step);
            } else if (!IsWindowEnabled(control) || !IsWindowVisible(control)) {
                ADD_FAILURE() << Text(control) << " (" << GetDlgCtrlID(control) << ") is off";
            } else if (drag) { // the thumb moves, and the slider tells of it
                SendMessageW(control, TBM_SETPOS, TRUE, drag->to);
                SendMessageW(Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, drag->to),
                             reinterpret_cast<LPARAM>(control));
            } else if (kPlaces[click->control - Label1].kind == kButton) {
                SendMessageW(control, BM_CLICK, 0, 0);
            } else {
                SetFocus(control);
            }
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
                Dispatch(message);
            }
            for (const Place& place : kPlaces) {
                Heard(GetDlgItem(Handle(), place.id));
            }
        }
    }
    HHOOK hook;
    std::wstring was = std::wstring(32767, L'\0');
};

// The window at a DPI against `seen` and against a window of the test's own where the system's
// controls are made as described and set as `seen` says: each control's line; its place, the
// described one scaled by one factor; its caption fitting in the UI font; and every pixel.
void ExpectAsSeen(HWND window, const Seen& seen, UINT dpi) {
    const auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    HWND focus = GetFocus();
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
    ShowWindow(described, SW_SHOWNOACTIVATE);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    std::wstring found, meant;
    for (const Place& place : kPlaces) {
        const Place& in = place.in == 0 ? Place{} : kPlaces[place.in - Label1];
        const int left = place.left + in.left, top = place.top + in.top;
        const RECT there{scaled(left), scaled(top), scaled(left + place.width),
                         scaled(top + place.height)};
        HWND control = GetDlgItem(window, place.id);
        RECT drawn{};
        GetWindowRect(control, &drawn);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&drawn), 2);
        EXPECT_TRUE(EqualRect(&drawn, &there)) << Heard(control);

        const DWORD off = seen.custom && place.kind != kBox ? 0 : place.style & kOff;
        const std::wstring text = Shown(seen, place);
        HWND copy = CreateWindowExW(place.kind == kBox ? WS_EX_CLIENTEDGE : 0, place.kind, L"",
                                    WS_CHILD | WS_VISIBLE | (place.style & ~kOff) | off, there.left,
                                    there.top, there.right - there.left, there.bottom - there.top,
                                    described, {}, {}, {});
        SendMessageW(copy, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowTextW(copy, text.c_str());
        SendMessageW(copy, TBM_SETRANGEMAX, FALSE, place.id == Slider1 ? 9 : 5);
        const auto bitrate = std::find(std::begin(kBitrates), std::end(kBitrates), seen.bitrate);
        SendMessageW(copy, TBM_SETPOS, TRUE,
                     place.id == Slider2 ? bitrate - std::begin(kBitrates) : seen.quality);
        SendMessageW(copy, BM_SETCHECK,
                     place.id == (seen.custom ? CustomCh : StandardCh) ||
                         std::count(seen.ticked.begin(), seen.ticked.end(), place.id),
                     0);
        SendMessageW(copy, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
        SendMessageW(copy, EM_SCROLLCARET, 0, 0); // a box shows the end of a text too long for it
        found += Line(control, Heard(control), control == focus);
        // What a screen reader says of it: its name, then its value (of the quality slider, the
        // level too, as two levels share their words).
        const std::wstring value =
            place.id == Slider1
                ? kQuality[seen.quality / 2] + (L", level " + std::to_wstring(seen.quality))
            : place.id == Slider2 ? seen.bitrate
            : place.kind == kBox  ? text
                                  : L"";
        const bool slider = place.id == Slider1 || place.id == Slider2;
        const std::wstring name =
            place.name ? place.name + std::wstring(slider ? L" slider" : L"") : text;
        meant += Line(copy, value.empty() ? name : name + L" " + value, place.id == seen.focus);
        // Room for a push button's border, a frame's indent, a check box's glyph and gap.
        const bool push = (place.style & BS_TYPEMASK) == BS_PUSHBUTTON;
        const LONG room = place.kind != kButton ? 0 : px(push ? 6 : 17);
        SIZE extent{};
        GetTextExtentPoint32W(dc, place.text, lstrlenW(place.text), &extent);
        EXPECT_LE(extent.cx, there.right - there.left - room) << place.text;
    }
    EXPECT_EQ(found, meant);
    SetFocus(nullptr); // no focus frame or caret: the copy has none
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message); // each paints what it has to, and no more
    }
    const std::vector<DWORD> shown = Pixels(window, area), copied = Pixels(described, area);
    const auto at = std::mismatch(shown.begin(), shown.end(), copied.begin()).first - shown.begin();
    const POINT where{static_cast<LONG>(at % area.right), static_cast<LONG>(at / area.right)};
    EXPECT_EQ(at, shown.end() - shown.begin())
        << "drawn otherwise at " << where.x << "," << where.y << " in "
        << Heard(RealChildWindowFromPoint(window, where)).substr(0, 40);
    DeleteDC(dc);
    DestroyWindow(described);
    DeleteObject(font);
}

// A case: what it shows; the start-up text; a folder put before PATH; what a person does; what
// they then find.
struct Case {
    const char* why;
    std::wstring args, path;
    std::vector<Step> does;
    Seen finds;
};

TEST(Form, DoesWhatAPersonAsks) {
    const std::wstring music = L"C:\\Users\\Someone\\Music\\Artist Name\\2026 - A Rather Long "
                               L"Album Title\\07 - A Rather Long Track Title (Live).";
    const std::wstring tags = L"--tt \"Song title\" --ta \"Артист\" --tl \"Album\" --ty 2026 -V 2";
    // A lame.exe that cannot start; a path that makes the longest command Windows takes.
    const std::filesystem::path broken = std::filesystem::temp_directory_path() / L"лейм";
    std::filesystem::create_directories(broken);
    std::ofstream(broken / L"lame.exe") << "no program";
    const std::wstring x = L"C:\\" + std::wstring(16369, L'x') + L".";
    const Case cases[] = {
        {.why = "started with a quoted path and more, as Windows passes a dropped file",
         .args = L"\"" + music + L"wav\" /extra",
         .finds = {.input = music + L"wav", .output = music + L"mp3"}},
        {.why = "choosing Standard again clears the three boxes",
         .does = {Click{CustomCh}, Click{EnableQual}, Click{EnableBitrate}, Click{DisableFiltering},
                  Click{StandardCh}, Click{CustomCh}},
         .finds = {.custom = true, .focus = CustomCh}},
        {.why = "with Custom, Tab goes round every control a person uses, Info last",
         .does = {Click{CustomCh}, Press{VK_TAB, 11}},
         .finds = {.custom = true, .focus = CustomCh}},
        {.why = "keys alone: Down chooses Custom, Space ticks, Escape and Enter do nothing there; "
                "the focus comes back with the window",
         .does = {Press{VK_TAB, 2}, Press{VK_DOWN}, Press{VK_TAB, 4}, Press{VK_SPACE},
                  Press{VK_ESCAPE}, Press{VK_RETURN}, LeaveAndComeBack{}},
         .finds = {.custom = true, .ticked = {EnableQual}, .focus = EnableQual}},
        {.why = "a line of options typed whole, Enter and Backspace in the box",
         .does = {Click{Text1}, Type{tags}, Press{VK_RETURN}, Press{VK_BACK}, Type{L"0"}},
         .finds = {.options = tags.substr(0, tags.size() - 1) + L"0", .focus = Text1}},
        {.why = "the sliders' keys: a page, a step, the ends",
         .does = {Click{CustomCh}, Click{Slider1}, Press{VK_NEXT}, Press{VK_RIGHT, 2},
                  Click{Slider2}, Press{VK_HOME}, Press{VK_RIGHT}},
         .finds = {.custom = true, .quality = 7, .bitrate = L"48 kbps", .focus = Slider2}},
        {.why = "a thumb dragged: the words follow it",
         .does = {Click{CustomCh}, Click{Slider2}, Press{VK_END}, Drag{Slider1, 3}},
         .finds = {.custom = true, .quality = 3, .bitrate = L"160 kbps", .focus = Slider2}},
        {.why = "no encoder anywhere: the box says where Sorvane looked and what to do",
         .does = {Click{Command1}},
         .finds = {.focus = Command1, .box = L"lame.exe|its own folder|PATH|start it again"}},
        {.why = "the longest command Windows takes is tried, one longer refused whole",
         .args = x + L"wav",
         .path = broken,
         .does = {Click{Command1}, Click{CustomCh}, Click{DisableFiltering}, Click{Command1}},
         .finds = {.input = x + L"wav",
                   .output = x + L"mp3",
                   .custom = true,
                   .ticked = {DisableFiltering},
                   .focus = Command1,
                   .box = broken.wstring() + L"\\lame.exe|Error 193: |Error 206: "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        boxes.clear();
        Window window(c.args, c.path);
        window.Do(c.does);
        ExpectAsSeen(window.Handle(), c.finds, GetDpiForWindow(window.Handle()));
        for (std::size_t at = 0, end = 0; end < c.finds.box.size(); at = end + 1) {
            end = std::min(c.finds.box.find(L'|', at), c.finds.box.size());
            EXPECT_NE(boxes.find(c.finds.box.substr(at, end - at)), boxes.npos) << boxes;
        }
        EXPECT_EQ(boxes.empty(), c.finds.box.empty()) << boxes;
        EXPECT_EQ(boxes.find(L'%'), boxes.npos) << "an insert of Windows' message left unfilled";
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

// The window as it opens, at its own size whatever the shortcut asked; with another UI font; at
// each DPI, told first to give the size it takes then; in a high-contrast scheme of colours.
// The system's font and colours are put back however the checks went.
TEST(Form, FitsEveryFontDpiAndColours) {
    const int parts[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_GRAYTEXT,
                         COLOR_3DSHADOW};
    COLORREF colours[std::size(parts)];
    std::transform(std::begin(parts), std::end(parts), colours, GetSysColor);
    NONCLIENTMETRICSW font{sizeof(font)};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(font), &font, 0);
    const struct PutBack {
        std::function<void()> back;
        ~PutBack() { back(); }
    } putBack{[&] {
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(font), &font, 0);
        SetSysColors(std::size(parts), parts, colours);
    }};
    const Window form;
    HWND window = form.Handle();
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) &
                  (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU),
              WS_SYSMENU);
    ExpectAsSeen(window, {}, GetDpiForWindow(window));
    // A UI font wider than Segoe UI at the largest common size, chosen while the window is open,
    // as Windows tells every top-level window.
    NONCLIENTMETRICSW metrics = font;
    lstrcpynW(metrics.lfMessageFont.lfFaceName, L"DejaVu Sans", LF_FACESIZE);
    metrics.lfMessageFont.lfHeight = -MulDiv(9, 96, 72);
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    ExpectAsSeen(window, {.focus = 0}, GetDpiForWindow(window));
    for (const UINT dpi : {120u, 144u, 192u, 96u}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        SIZE size{};
        EXPECT_TRUE(
            SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
        RECT suggested{0, 0, size.cx, size.cy}, after{};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window, &after);
        EXPECT_TRUE(EqualRect(&after, &suggested)) << size.cx << "x" << size.cy;
        ExpectAsSeen(window, {.focus = 0}, dpi);
    }
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(font), &font, 0);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    const COLORREF contrast[] = {0, RGB(255, 255, 0), RGB(0, 0, 128), RGB(0, 255, 0), 0xFF00FF};
    SetSysColors(std::size(parts), parts, contrast);
    SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0); // as Windows tells every top-level window
    SCOPED_TRACE("high contrast");
    ExpectAsSeen(window, {.focus = 0}, GetDpiForWindow(window));
}

} // namespace
