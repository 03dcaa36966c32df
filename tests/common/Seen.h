// What a person sees of a window, in this process or another: its text, and the colour of each
// pixel in an area of its client (for no window, of the screen), row by row.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// By WM_GETTEXT, as GetWindowText does not ask a control of another process.
inline std::wstring Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), 0);
    SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

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
