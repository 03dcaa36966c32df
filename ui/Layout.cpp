#include "Layout.h"

#include "Captions.h"
#include "ControlIds.h"
#include "EncoderCommand.h"
#include "Win32.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace sorvane {

namespace {

// One control of the main window as it is created. Positions are in twips; a control
// inside a frame is placed relative to that frame. Its fields come in the order the table reads
// best, whatever padding that costs in a table of 25 rows.
struct ControlLayout { // NOLINT(clang-analyzer-optin.performance.Padding)
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int frame; // the id of the frame that holds it, or 0 for the window itself
    const wchar_t* text;
    int left, top, width, height;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_GROUP;
constexpr DWORD kLabel = kChild | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kCentredLabel = kChild | SS_CENTER | SS_NOPREFIX;
constexpr DWORD kPathBox = kChild | ES_AUTOHSCROLL | WS_DISABLED;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kFrame = kChild | BS_GROUPBOX;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kSlider = kChild | WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS;
// Only the selected option button is a tab stop; the arrows move within the group.
constexpr DWORD kFirstOption = kChild | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kNextOption = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
// The custom frames start disabled, and so does everything inside them.
constexpr DWORD kOff = WS_DISABLED;
// The sliders' highest positions: quality levels 0 to 9, one position per table bitrate.
constexpr int kQualityMax = 9;
constexpr int kBitrateMax = static_cast<int>(BitrateTable.size()) - 1;

using namespace ids;

// Creation order is z-order, and z-order is the order of the Tab key. Labels never take the
// focus, so each stands right before the control it names: a screen reader names a control
// without a caption of its own after the nearest label before it in z-order.
const ControlLayout kControls[] = {
    {Label1, L"STATIC", kLabel, 0, 0, L"Input:", 120, 120, 495, 255},
    {InputFileTxt, L"EDIT", kPathBox, WS_EX_CLIENTEDGE, 0, L"", 720, 120, 3135, 285},
    {Label2, L"STATIC", kLabel, 0, 0, L"Output:", 120, 480, 615, 255},
    {OutputFileTxt, L"EDIT", kPathBox, WS_EX_CLIENTEDGE, 0, L"", 720, 480, 3135, 285},
    {BrowBut1, L"BUTTON", kButton, 0, 0, L"Browse...", 3960, 120, 975, 255},
    {BrowBut2, L"BUTTON", kButton, 0, 0, L"Browse...", 3960, 480, 975, 255},
    {Frame1, L"BUTTON", kFrame, 0, 0, L"Encoding Settings", 5040, 0, 3735, 855},
    {StandardCh, L"BUTTON", kFirstOption, 0, Frame1, L"Standard", 120, 240, 2655, 255},
    {CustomCh, L"BUTTON", kNextOption, 0, Frame1, L"Custom", 120, 480, 2655, 255},
    {Command1, L"BUTTON", kButton, 0, 0, L"Start Encoding", 1800, 4920, 4935, 375},
    {Label3, L"STATIC", kLabel, 0, 0, L"Additional Options:", 120, 4440, 1455, 255},
    {Text1, L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 0, L"", 1560, 4440,
     3375, 285},
    {Frame2, L"BUTTON", kFrame | kOff, 0, 0, L"Noise shaping and psyco acoustic algorithms", 840,
     960, 3615, 1575},
    {Label4, L"STATIC", kCentredLabel | kOff, 0, Frame2, L"Quality:", 120, 480, 3375, 255},
    {Slider1, TRACKBAR_CLASSW, kSlider | kOff, 0, Frame2, L"", 120, 720, 3375, 375},
    {QualityDesc, L"STATIC", kCentredLabel | kOff, 0, Frame2, L"Highest quality, very slow", 240,
     1200, 3135, 255},
    {EnableQual, L"BUTTON", kCheckBox | kOff, 0, Frame2, L"Enable", 120, 240, 3375, 255},
    {Frame3, L"BUTTON", kFrame | kOff, 0, 0, L"Misc", 3000, 2640, 3135, 1695},
    {DisableFiltering, L"BUTTON", kCheckBox | kOff, 0, Frame3, L"Disable all filtering", 120, 240,
     2775, 255},
    {Frame4, L"BUTTON", kFrame | kOff, 0, 0, L"Constant bitrate settings", 4560, 960, 3615, 1575},
    {EnableBitrate, L"BUTTON", kCheckBox | kOff, 0, Frame4, L"Enable", 120, 240, 3375, 255},
    {Label6, L"STATIC", kCentredLabel | kOff, 0, Frame4, L"Bitrate:", 120, 480, 3375, 255},
    {Slider2, TRACKBAR_CLASSW, kSlider | kOff, 0, Frame4, L"", 120, 720, 3375, 375},
    {BitrateDesc, L"STATIC", kCentredLabel | kOff, 0, Frame4, L"128 kbps", 240, 1200, 3135, 255},
    {Command2, L"BUTTON", kButton, 0, 0, L"Info", 5040, 4440, 1095, 255},
};

const ControlLayout* FindLayout(int id) {
    const auto found = std::find_if(std::begin(kControls), std::end(kControls),
                                    [id](const ControlLayout& item) { return item.id == id; });
    return found == std::end(kControls) ? nullptr : found;
}

// The control's rectangle in the window's client area: edges are scaled, not sizes, so that
// neighbours meet exactly at every scale.
RECT PlaceOf(const ControlLayout& item, const Scale& scale) {
    int left = item.left;
    int top = item.top;
    if (const ControlLayout* frame = FindLayout(item.frame)) {
        left += frame->left;
        top += frame->top;
    }
    return RECT{scale.Pixels(left), scale.Pixels(top), scale.Pixels(left + item.width),
                scale.Pixels(top + item.height)};
}

// Every text the control can show: the description labels change with their sliders.
std::vector<std::wstring> CaptionsOf(const ControlLayout& item) {
    std::vector<std::wstring> captions{item.text};
    if (item.id == QualityDesc) {
        for (std::int32_t level = 0; level <= kQualityMax; ++level) {
            captions.push_back(ToWide(QualityCaption(level)));
        }
    } else if (item.id == BitrateDesc) {
        for (std::int32_t position = 0; position <= kBitrateMax; ++position) {
            captions.push_back(ToWide(BitrateCaption(position).value_or(u"")));
        }
    }
    return captions;
}

// The room, in pixels, that the control needs around its widest caption: the check box or
// option glyph and the gap after it, a push button's border and focus frame, a frame's
// caption indent and the gap after its caption, and a text box's border around a line.
SIZE RoomNeeded(HDC dc, const ControlLayout& item, const TEXTMETRICW& font, UINT dpi) {
    int text = 0;
    for (const std::wstring& caption : CaptionsOf(item)) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        text = std::max(text, static_cast<int>(extent.cx));
    }
    const auto px = [dpi](int pixelsAt96) {
        return MulDiv(pixelsAt96, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    };
    const int line = font.tmHeight;
    const DWORD type = item.style & BS_TYPEMASK;
    if (lstrcmpW(item.className, L"STATIC") == 0) {
        return SIZE{text + 1, line};
    }
    if (lstrcmpW(item.className, L"EDIT") == 0) {
        return SIZE{0, line + 2 * GetSystemMetricsForDpi(SM_CYEDGE, dpi)};
    }
    if (lstrcmpW(item.className, L"BUTTON") != 0) {
        return SIZE{0, 0}; // the sliders have no caption
    }
    if (type == BS_GROUPBOX) {
        return SIZE{text + px(18), 0};
    }
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) {
        const int glyph = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi);
        return SIZE{glyph + px(6) + text, std::max(line, glyph)};
    }
    return SIZE{text + px(12), line + 2};
}

// The smallest pixels-per-inch at which `twips` gives at least `pixels`, whichever way the
// two edges round.
int PixelsPerInchFor(int pixels, int twips) {
    return pixels <= 0 ? 0 : ((pixels + 1) * 1440 + twips - 1) / twips;
}

void SetUpSlider(HWND slider, int maximum, int value) {
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(slider, TBM_SETRANGEMAX, FALSE, maximum);
    SendMessageW(slider, TBM_SETLINESIZE, 0, 1);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    SendMessageW(slider, TBM_SETTICFREQ, 1, 0);
    // Drawn there at once: Wine's trackbar leaves the thumb where it was when told not to.
    SendMessageW(slider, TBM_SETPOS, TRUE, value);
}

} // namespace

Scale MeasureScale(HFONT font, UINT dpi) {
    Scale scale{static_cast<int>(dpi)};
    HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    for (const ControlLayout& item : kControls) {
        const SIZE room = RoomNeeded(dc, item, metrics, dpi);
        scale.pixelsPerInch = std::max({scale.pixelsPerInch, PixelsPerInchFor(room.cx, item.width),
                                        PixelsPerInchFor(room.cy, item.height)});
    }
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return scale;
}

bool CreateControls(HWND window, HINSTANCE instance, const Scale& scale, HFONT font) {
    for (const ControlLayout& item : kControls) {
        const RECT place = PlaceOf(item, scale);
        HWND control =
            CreateWindowExW(item.exStyle, item.className, item.text, item.style, place.left,
                            place.top, place.right - place.left, place.bottom - place.top, window,
                            reinterpret_cast<HMENU>(INT_PTR{item.id}), instance, nullptr);
        if (control == nullptr) {
            return false;
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SendMessageW(GetDlgItem(window, StandardCh), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetDlgItem(window, Text1), EM_SETLIMITTEXT, 0, 0);
    SetUpSlider(GetDlgItem(window, Slider1), kQualityMax, 0);
    SetUpSlider(GetDlgItem(window, Slider2), kBitrateMax, 4);
    return true;
}

void LayOutControls(HWND window, const Scale& scale, HFONT font) {
    for (const ControlLayout& item : kControls) {
        const RECT place = PlaceOf(item, scale);
        HWND control = GetDlgItem(window, item.id);
        SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void SetFrameEnabled(HWND window, int frame, bool enabled) {
    EnableWindow(GetDlgItem(window, frame), enabled ? TRUE : FALSE);
    for (const ControlLayout& item : kControls) {
        if (item.frame == frame) {
            EnableWindow(GetDlgItem(window, item.id), enabled ? TRUE : FALSE);
        }
    }
}

} // namespace sorvane
