#pragma once

// Control identifiers of the main window. Test programs find the controls by them too.
// They start above IDOK and IDCANCEL so that Enter and Escape, which the keyboard
// handling turns into those two commands, never reach a control's handler.
namespace sorvane::ids {

enum : int {
    Label1 = 100,
    Label2,
    InputFileTxt,
    OutputFileTxt,
    BrowBut1,
    BrowBut2,
    Frame1,
    StandardCh,
    CustomCh,
    Command1,
    Label3,
    Text1,
    Frame2,
    Label4,
    Slider1,
    QualityDesc,
    EnableQual,
    Frame3,
    DisableFiltering,
    Frame4,
    EnableBitrate,
    Slider2,
    BitrateDesc,
    Label6,
    Command2,
};

} // namespace sorvane::ids

// The main window's class name, for FindWindowW.
#define SORVANE_WINDOW_CLASS L"SorvaneForm1"
