#pragma once

#include <windows.h>

namespace sorvane {

// One control of the main window as it is created. Positions are in twips; a control
// inside a frame is placed relative to that frame.
struct ControlLayout {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int frame; // the id of the frame that holds it, or 0 for the window itself
    const wchar_t* text;
    int left, top, width, height;
};

inline constexpr int kClientWidthTwips = 8880;
inline constexpr int kClientHeightTwips = 5400;

// The controls in tab order, which is also their creation (z) order.
const ControlLayout* ControlLayouts(int* count);

// Twips to pixels at a DPI: 1440 twips make an inch.
int TwipsToPixels(int twips, UINT dpi);

// Creates every control of the window, hidden frames and all, in tab order.
bool CreateControls(HWND window, HINSTANCE instance);

// Places every control for the DPI and gives each the font.
void LayOutControls(HWND window, UINT dpi, HFONT font);

// Enables or disables a frame together with every control inside it.
void SetFrameEnabled(HWND window, int frame, bool enabled);

} // namespace sorvane
