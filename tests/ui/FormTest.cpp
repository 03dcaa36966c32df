// The real window, made in this process so that each control's own font can be asked for:
// every caption fits its control at several DPIs and UI fonts, and a screen reader finds
// the right name for each control that has no caption of its own.
#include "Captions.h"
#include "ControlIds.h"
#include "Form1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace sorvane::ids;

// The shared window, made once: a window class is registered once per process.
HWND TheWindow() {
    static sorvane::Form1 form(u"");
    static const DWORD error = form.Show(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
    EXPECT_EQ(error, 0u);
    return form.Handle();
}

std::wstring Text(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    return text;
}

bool IsClass(HWND control, const wchar_t* name) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    return lstrcmpiW(className, name) == 0;
}

// Every text a control shows: the description labels follow their sliders.
std::vector<std::wstring> Captions(HWND control) {
    std::vector<std::wstring> captions{Text(control)};
    for (int value = 0; value <= 9; ++value) {
        const int id = GetDlgCtrlID(control);
        if (id == QualityDesc) {
            const std::u16string_view caption = sorvane::QualityCaption(value);
            captions.emplace_back(caption.begin(), caption.end());
        } else if (id == BitrateDesc && value <= 5) {
            const std::u16string caption = sorvane::BitrateCaption(value).value_or(u"");
            captions.emplace_back(caption.begin(), caption.end());
        }
    }
    return captions;
}

// The width left for the caption by the control's own drawing: a check box or option
// button draws its glyph and a gap first; a frame indents its caption and leaves a gap
// after it; a push button keeps its border and focus frame clear.
int RoomFor(HWND control, int width, UINT dpi) {
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (!IsClass(control, L"Button")) {
        return width;
    }
    if (type == BS_GROUPBOX) {
        return width - 2 * MulDiv(8, static_cast<int>(dpi), 96);
    }
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) {
        return width - GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) -
               MulDiv(4, static_cast<int>(dpi), 96);
    }
    return width - 2 * MulDiv(3, static_cast<int>(dpi), 96);
}

// Sets the UI font for the test's length and puts the old one back afterwards.
class MessageFont {
  public:
    MessageFont(const wchar_t* face, int points) {
        saved_.cbSize = sizeof(saved_);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(saved_), &saved_, 0);
        NONCLIENTMETRICSW metrics = saved_;
        lstrcpynW(metrics.lfMessageFont.lfFaceName, face, LF_FACESIZE);
        metrics.lfMessageFont.lfHeight = -MulDiv(points, 96, 72);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    }
    MessageFont(const MessageFont&) = delete;
    MessageFont& operator=(const MessageFont&) = delete;
    ~MessageFont() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(saved_), &saved_, 0); }

  private:
    NONCLIENTMETRICSW saved_{};
};

struct Face {
    const wchar_t* name;
    int points;
};

TEST(Form, EveryCaptionFitsItsControlAtEveryDpiAndFont) {
    HWND window = TheWindow();
    ASSERT_NE(window, nullptr);
    // Tahoma 8 pt is Windows' older UI font; DejaVu Sans runs wider than Segoe UI, and
    // at 9 pt it stands for the largest common UI font.
    for (const Face face : {Face{L"Tahoma", 8}, Face{L"DejaVu Sans", 9}}) {
        const MessageFont font(face.name, face.points);
        for (const UINT dpi : {96u, 120u, 144u, 192u}) {
            RECT suggested{0, 0, 100, 100};
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
                 control = GetWindow(control, GW_HWNDNEXT)) {
                if (IsClass(control, L"msctls_trackbar32")) {
                    continue; // no caption
                }
                HDC dc = GetDC(control);
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
                wchar_t used[LF_FACESIZE] = {};
                GetTextFaceW(dc, LF_FACESIZE, used);
                EXPECT_STREQ(used, face.name);
                TEXTMETRICW metrics{};
                GetTextMetricsW(dc, &metrics);
                RECT client{};
                GetClientRect(control, &client);
                const int room = RoomFor(control, client.right, dpi);
                for (const std::wstring& caption : Captions(control)) {
                    SIZE extent{};
                    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()),
                                          &extent);
                    EXPECT_LE(extent.cx, room)
                        << '"' << caption << "\" at " << dpi << " DPI in " << face.name;
                }
                if ((GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
                    EXPECT_LE(metrics.tmHeight, client.bottom) << GetDlgCtrlID(control);
                }
                ReleaseDC(control, dc);
            }
        }
    }
}

// A screen reader names a control without a caption of its own after the nearest label
// before it in z-order; a control that starts a tab group (WS_GROUP and WS_TABSTOP) ends
// the search.
std::wstring AccessibleName(HWND control) {
    for (HWND before = GetWindow(control, GW_HWNDPREV); before != nullptr;
         before = GetWindow(before, GW_HWNDPREV)) {
        if (IsClass(before, L"Static")) {
            return Text(before);
        }
        const LONG_PTR style = GetWindowLongPtrW(before, GWL_STYLE);
        if ((style & WS_GROUP) != 0 && (style & WS_TABSTOP) != 0) {
            break;
        }
    }
    return L"";
}

TEST(Form, ControlsWithoutCaptionsAreNamedByTheirLabels) {
    HWND window = TheWindow();
    ASSERT_NE(window, nullptr);
    const struct {
        int id;
        const wchar_t* name;
    } kNames[] = {{InputFileTxt, L"Input:"},
                  {OutputFileTxt, L"Output:"},
                  {Text1, L"Additional Options:"},
                  {Slider1, L"Quality:"},
                  {Slider2, L"Bitrate:"}};
    for (const auto& expected : kNames) {
        EXPECT_EQ(AccessibleName(GetDlgItem(window, expected.id)), expected.name) << expected.id;
    }
}

} // namespace
