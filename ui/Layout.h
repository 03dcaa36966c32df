#pragma once

#include <windows.h>

namespace sorvane {

inline constexpr int kClientWidthTwips = 8880;
inline constexpr int kClientHeightTwips = 5400;

// How the layout's twips become pixels: 1440 twips make `pixelsPerInch` pixels. That is the
// monitor's DPI, raised just as far as the window's font needs for every caption to fit
// whole, so the layout keeps its proportions with any font, as dialog units follow the
// font of a dialog.
struct Scale {
    int pixelsPerInch = USER_DEFAULT_SCREEN_DPI;

    int Pixels(int twips) const { return MulDiv(twips, pixelsPerInch, 1440); }
};

// The scale at which every caption of the window, in this font, fits its control at the DPI.
Scale MeasureScale(HFONT font, UINT dpi);

// Creates every control of the window in tab order, each at its place for the scale and with
// the font; the custom frames and their contents start disabled.
bool CreateControls(HWND window, HINSTANCE instance, const Scale& scale, HFONT font);

// Places every control again for a new scale and font.
void LayOutControls(HWND window, const Scale& scale, HFONT font);

// Enables or disables a frame together with every control inside it.
void SetFrameEnabled(HWND window, int frame, bool enabled);

} // namespace sorvane
