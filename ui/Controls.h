#pragma once

#include "Win32.h"

#include <commctrl.h>

#include <cstdint>

namespace sorvane {

// Thin, non-owning views of the window's controls, in the terms the handlers use.
class Control {
  public:
    explicit Control(HWND handle) : handle_(handle) {}
    HWND Handle() const { return handle_; }
    void SetEnabled(bool enabled) const { EnableWindow(handle_, enabled ? TRUE : FALSE); }
    std::u16string Text() const { return WindowText(handle_); }
    void SetText(std::u16string_view text) const { SetWindowText(handle_, text); }
    // A one-line box shows the end of a text too long for it (a path's file name): the
    // caret goes to the end and the box scrolls there, disabled or not.
    // https://learn.microsoft.com/windows/win32/controls/em-scrollcaret
    void ShowEnd() const {
        const int length = GetWindowTextLengthW(handle_);
        Send(EM_SETSEL, static_cast<WPARAM>(length), length);
        Send(EM_SCROLLCARET);
    }
    void SetPath(std::u16string_view path) const {
        SetText(path);
        ShowEnd();
    }

  protected:
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return SendMessageW(handle_, message, w, l);
    }

  private:
    HWND handle_;
};

// 0 unchecked, 1 checked, 2 grey.
class CheckBox : public Control {
  public:
    using Control::Control;
    int Value() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetValue(int value) const { Send(BM_SETCHECK, static_cast<WPARAM>(value)); }
};

class OptionButton : public Control {
  public:
    using Control::Control;
    bool Value() const { return Send(BM_GETCHECK) == BST_CHECKED; }
};

class Slider : public Control {
  public:
    using Control::Control;
    std::int32_t Value() const { return static_cast<std::int32_t>(Send(TBM_GETPOS)); }
};

} // namespace sorvane
