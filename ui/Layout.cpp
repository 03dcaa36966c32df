#include "Layout.h"

#include "ControlIds.h"

#include <commctrl.h>

#include <iterator>

namespace sorvane {

namespace {

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

using namespace ids;

const ControlLayout kControls[] = {
    {Label1, L"STATIC", kLabel, 0, 0, L"Input:", 120, 120, 495, 255},
    {Label2, L"STATIC", kLabel, 0, 0, L"Output:", 120, 480, 615, 255},
    {InputFileTxt, L"EDIT", kPathBox, WS_EX_CLIENTEDGE, 0, L"", 720, 120, 3135, 285},
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
    {Frame2, L"BUTTON", kFrame, 0, 0, L"Noise shaping and psyco acoustic algorithms", 840, 960,
     3615, 1575},
    {Label4, L"STATIC", kCentredLabel, 0, Frame2, L"Quality:", 120, 480, 3375, 255},
    {Slider1, TRACKBAR_CLASSW, kSlider, 0, Frame2, L"", 120, 720, 3375, 375},
    {QualityDesc, L"STATIC", kCentredLabel, 0, Frame2, L"Highest quality, very slow", 240, 1200,
     3135, 255},
    {EnableQual, L"BUTTON", kCheckBox, 0, Frame2, L"Enable", 120, 240, 3375, 255},
    {Frame3, L"BUTTON", kFrame, 0, 0, L"Misc", 3000, 2640, 3135, 1695},
    {DisableFiltering, L"BUTTON", kCheckBox, 0, Frame3, L"Disable all filtering", 120, 240, 2775,
     255},
    {Frame4, L"BUTTON", kFrame, 0, 0, L"Constant bitrate settings", 4560, 960, 3615, 1575},
    {EnableBitrate, L"BUTTON", kCheckBox, 0, Frame4, L"Enable", 120, 240, 3375, 255},
    {Slider2, TRACKBAR_CLASSW, kSlider, 0, Frame4, L"", 120, 720, 3375, 375},
    {BitrateDesc, L"STATIC", kCentredLabel, 0, Frame4, L"128 kbps", 240, 1200, 3135, 255},
    {Label6, L"STATIC", kCentredLabel, 0, Frame4, L"Bitrate:", 120, 480, 3375, 255},
    {Command2, L"BUTTON", kButton, 0, 0, L"Info", 5040, 4440, 1095, 255},
};

const ControlLayout* FindLayout(int id) {
    for (const ControlLayout& item : kControls) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

void SetUpSlider(HWND slider, int maximum, int value) {
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(slider, TBM_SETRANGEMAX, FALSE, maximum);
    SendMessageW(slider, TBM_SETLINESIZE, 0, 1);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    SendMessageW(slider, TBM_SETTICFREQ, 1, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, value);
}

} // namespace

const ControlLayout* ControlLayouts(int* count) {
    *count = static_cast<int>(std::size(kControls));
    return kControls;
}

int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

bool CreateControls(HWND window, HINSTANCE instance) {
    for (const ControlLayout& item : kControls) {
        HWND control =
            CreateWindowExW(item.exStyle, item.className, item.text, item.style, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(INT_PTR{item.id}), instance, nullptr);
        if (control == nullptr) {
            return false;
        }
    }
    SendMessageW(GetDlgItem(window, StandardCh), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetDlgItem(window, Text1), EM_SETLIMITTEXT, 0, 0);
    SetUpSlider(GetDlgItem(window, Slider1), 9, 0);
    SetUpSlider(GetDlgItem(window, Slider2), 5, 4);
    return true;
}

void LayOutControls(HWND window, UINT dpi, HFONT font) {
    for (const ControlLayout& item : kControls) {
        int left = item.left;
        int top = item.top;
        if (const ControlLayout* frame = FindLayout(item.frame)) {
            left += frame->left;
            top += frame->top;
        }
        // Edges are scaled, not sizes, so that neighbours meet exactly at every DPI.
        const int x = TwipsToPixels(left, dpi);
        const int y = TwipsToPixels(top, dpi);
        HWND control = GetDlgItem(window, item.id);
        SetWindowPos(control, nullptr, x, y, TwipsToPixels(left + item.width, dpi) - x,
                     TwipsToPixels(top + item.height, dpi) - y, SWP_NOZORDER | SWP_NOACTIVATE);
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
