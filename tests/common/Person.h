// What a person does to a window and what they find there, in this process or another: the steps
// they take, and a control's text, its pixels and what a screen reader says of it.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <variant>
#include <vector>

// The steps a person takes. A driver acts out the kinds it can and refuses the others.
struct Click { // a button pressed with the mouse; a box or a slider clicked into
    int control;
};
struct Press { // a key pressed and let go, as many times as said, while another is held
    int key, times = 1, with = 0;
};
struct Type { // each character by its key, with Shift where it needs it, or by other means
    std::wstring text;
};
struct Drag { // a slider's thumb taken with the mouse and let go at a position
    int slider, to;
};
struct LeaveAndComeBack {}; // another window used for a moment
struct Choose { // in the file dialog a "Browse..." button opened: a file (none: Cancel) and the
    std::wstring file; // answer (IDYES or IDNO) when asked before it is replaced
    int answer = 0;
};
using Step = std::variant<Click, Press, Type, Drag, LeaveAndComeBack, Choose>;

// Sends the keys of a Press or a Type to the window in front, as the keyboard does; a character
// that no key makes goes as an on-screen keyboard sends it.
inline void SendKeys(const Step& step) {
    const auto key = [](int code, wchar_t unit, DWORD flags) { // none: no key at all
        INPUT input{INPUT_KEYBOARD};
        input.ki = {static_cast<WORD>(code), unit, flags};
        SendInput(code != 0 || unit != 0 ? 1 : 0, &input, sizeof(INPUT));
    };
    const auto stroke = [&key](int code, wchar_t unit = 0, DWORD flags = 0) {
        key(code, unit, flags);
        key(code, unit, flags | KEYEVENTF_KEYUP);
    };
    const Press press = std::holds_alternative<Press>(step) ? std::get<Press>(step) : Press{0, 0};
    key(press.with, 0, 0);
    for (int k = 0; k < press.times; ++k) {
        stroke(press.key);
    }
    key(press.with, 0, KEYEVENTF_KEYUP);
    for (const wchar_t unit :
         std::holds_alternative<Type>(step) ? std::get<Type>(step).text : L"") {
        const SHORT code = VkKeyScanW(unit); // the key, and in the high byte 1 for Shift
        const int shift = code != -1 && (code & 0x100) != 0 ? VK_SHIFT : 0;
        key(shift, 0, 0);
        code == -1 ? stroke(0, unit, KEYEVENTF_UNICODE) : stroke(LOBYTE(code));
        key(shift, 0, KEYEVENTF_KEYUP);
    }
}

// By WM_GETTEXT, as GetWindowText does not ask a control of another process.
inline std::wstring Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), 0);
    SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

// The colour of each pixel in an area of a window's client (for no window, of the screen).
inline std::vector<DWORD> Pixels(HWND window, RECT area) {
    HDC drawn = GetDC(window), copy = CreateCompatibleDC(drawn);
    BITMAPINFO format{
        {sizeof(BITMAPINFOHEADER), area.right - area.left, area.top - area.bottom, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(copy, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(copy, picture);
    BitBlt(copy, 0, 0, area.right - area.left, area.bottom - area.top, drawn, area.left, area.top,
           SRCCOPY);
    const auto* begin = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(begin, begin + (area.right - area.left) * (area.bottom - area.top));
    DeleteDC(copy);
    DeleteObject(picture);
    ReleaseDC(window, drawn);
    return pixels;
}

// What a screen reader says of a control: its name, that it is a slider when it is one, and its
// value when it has one.
inline std::wstring Heard(HWND control) {
    IAccessible* object = nullptr;
    VARIANT self{}, role{};
    self.vt = VT_I4; // CHILDID_SELF
    BSTR said[2] = {};
    if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object)))) {
        object->get_accName(self, &said[0]);
        object->get_accRole(self, &role);
        object->get_accValue(self, &said[1]);
        object->Release();
    }
    std::wstring heard = said[0] != nullptr ? said[0] : L"";
    heard += role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_SLIDER ? L" slider" : L"";
    heard += said[1] != nullptr && *said[1] != L'\0' ? L" " + std::wstring(said[1]) : L"";
    SysFreeString(said[0]);
    SysFreeString(said[1]);
    return heard;
}
