#pragma once

#include "ControlIds.h"
#include "Controls.h"
#include "FileNames.h"
#include "Layout.h"
#include "Process.h"
#include "Win32.h"

#include <string>

namespace sorvane {

// The program's one window. It owns its controls and the job's two paths.
class Form1 {
  public:
    explicit Form1(std::u16string startupArgument);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window and its controls, runs Form_Load, then shows the window.
    // Returns 0, or the Windows error number when the window could not be created.
    DWORD Show(HINSTANCE instance, int showCommand);

    HWND Handle() const { return hwnd_; }

    // Handles a message of the program's loop: the window's keyboard navigation first, else the
    // usual translation of keys into characters and dispatch to its window.
    void Dispatch(MSG& message);

  private:
    // Keyboard navigation for a message from the loop; true when it was handled here.
    bool TranslateKeys(MSG& message);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l);
    void OnCommand(int id, int code);
    void OnHScroll(HWND control, int code);
    void OnActivate(bool active);
    // Sizes and lays the window out again for a DPI and the current UI font, its corner moved
    // to topLeft when given.
    void ApplyDpi(UINT dpi, const POINT* topLeft);
    // Draws the whole window again, as after a change of its layout or of the system's colours.
    void Repaint() const;
    // Tells the person which program could not be started and why; for a program found
    // nowhere, where it was looked for and what to do.
    void ReportFailure(const StartResult& result) const;
    void SetCustomFramesEnabled(bool enabled) const;

    // Event handlers, one per control event.
    void Form_Load();
    void BrowBut1_Click();
    void BrowBut2_Click();
    void StandardCh_Click();
    void CustomCh_Click();
    void Slider1_Change();
    void Slider1_Scroll();
    void Slider2_Change();
    void Slider2_Scroll();
    void Command1_Click();
    void Command2_Click();

    Control Item(int id) const { return Control(GetDlgItem(hwnd_, id)); }
    Control InputFileTxt() const { return Item(ids::InputFileTxt); }
    Control OutputFileTxt() const { return Item(ids::OutputFileTxt); }
    Control Text1() const { return Item(ids::Text1); }
    Control QualityDesc() const { return Item(ids::QualityDesc); }
    Control BitrateDesc() const { return Item(ids::BitrateDesc); }
    OptionButton StandardCh() const { return OptionButton(GetDlgItem(hwnd_, ids::StandardCh)); }
    CheckBox EnableQual() const { return CheckBox(GetDlgItem(hwnd_, ids::EnableQual)); }
    CheckBox EnableBitrate() const { return CheckBox(GetDlgItem(hwnd_, ids::EnableBitrate)); }
    CheckBox DisableFiltering() const { return CheckBox(GetDlgItem(hwnd_, ids::DisableFiltering)); }
    Slider Slider1() const { return Slider(GetDlgItem(hwnd_, ids::Slider1)); }
    Slider Slider2() const { return Slider(GetDlgItem(hwnd_, ids::Slider2)); }

    HWND hwnd_ = nullptr;
    bool built_ = false; // every control made: closing the window now ends the program
    std::u16string startupArgument_;
    JobPaths paths_;
    UniqueFont font_;
    HWND lastFocus_ = nullptr; // restored when the window is activated again
};

} // namespace sorvane
