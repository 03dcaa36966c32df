// The window as it opens: texts, states, sizes at two DPIs, and the version record.
#include "ControlIds.h"
#include "Driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

using namespace sorvane::ids;
using e2e::App;

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    bool enabled;
    // Window-relative twips: a control in a frame already has the frame's corner added.
    int left, top, width, height;
};

const std::vector<Expected> kWindow = {
    {Label1, L"Static", L"Input:", true, 120, 120, 495, 255},
    {Label2, L"Static", L"Output:", true, 120, 480, 615, 255},
    {InputFileTxt, L"Edit", L"", false, 720, 120, 3135, 285},
    {OutputFileTxt, L"Edit", L"", false, 720, 480, 3135, 285},
    {BrowBut1, L"Button", L"Browse...", true, 3960, 120, 975, 255},
    {BrowBut2, L"Button", L"Browse...", true, 3960, 480, 975, 255},
    {Frame1, L"Button", L"Encoding Settings", true, 5040, 0, 3735, 855},
    {StandardCh, L"Button", L"Standard", true, 5160, 240, 2655, 255},
    {CustomCh, L"Button", L"Custom", true, 5160, 480, 2655, 255},
    {Command1, L"Button", L"Start Encoding", true, 1800, 4920, 4935, 375},
    {Label3, L"Static", L"Additional Options:", true, 120, 4440, 1455, 255},
    {Text1, L"Edit", L"", true, 1560, 4440, 3375, 285},
    {Frame2, L"Button", L"Noise shaping and psyco acoustic algorithms", false, 840, 960, 3615,
     1575},
    {Label4, L"Static", L"Quality:", false, 960, 1440, 3375, 255},
    {Slider1, L"msctls_trackbar32", L"", false, 960, 1680, 3375, 375},
    {QualityDesc, L"Static", L"Highest quality, very slow", false, 1080, 2160, 3135, 255},
    {EnableQual, L"Button", L"Enable", false, 960, 1200, 3375, 255},
    {Frame3, L"Button", L"Misc", false, 3000, 2640, 3135, 1695},
    {DisableFiltering, L"Button", L"Disable all filtering", false, 3120, 2880, 2775, 255},
    {Frame4, L"Button", L"Constant bitrate settings", false, 4560, 960, 3615, 1575},
    {EnableBitrate, L"Button", L"Enable", false, 4680, 1200, 3375, 255},
    {Slider2, L"msctls_trackbar32", L"", false, 4680, 1680, 3375, 375},
    {BitrateDesc, L"Static", L"128 kbps", false, 4800, 2160, 3135, 255},
    {Label6, L"Static", L"Bitrate:", false, 4680, 1440, 3375, 255},
    {Command2, L"Button", L"Info", true, 5040, 4440, 1095, 255},
};

RECT ClientRectOf(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The layout keeps its proportions: every edge is its twips times one factor, the one that
// the client width shows, and that factor is never below the DPI's own.
void ExpectGeometry(const App& app, int dpi) {
    ASSERT_EQ(GetDpiForWindow(app.Window()), static_cast<UINT>(dpi));
    RECT client;
    GetClientRect(app.Window(), &client);
    EXPECT_GE(client.right, MulDiv(8880, dpi, 1440));
    const double perTwip = client.right / 8880.0;
    const auto px = [perTwip](int twips) { return twips * perTwip; };
    EXPECT_NEAR(client.bottom, px(5400), 1.0);
    for (const Expected& e : kWindow) {
        const RECT r = ClientRectOf(app.Window(), app.Item(e.id));
        EXPECT_NEAR(r.left, px(e.left), 1.0) << e.id;
        EXPECT_NEAR(r.top, px(e.top), 1.0) << e.id;
        EXPECT_NEAR(r.right, px(e.left + e.width), 1.0) << e.id;
        EXPECT_NEAR(r.bottom, px(e.top + e.height), 1.0) << e.id;
    }
}

TEST(Window, OpensWithEveryControlInItsInitialState) {
    App app;
    EXPECT_EQ(e2e::WindowText(app.Window()), L"Sorvane MP3 Encoder Interface");
    for (const Expected& e : kWindow) {
        HWND control = app.Item(e.id);
        ASSERT_NE(control, nullptr) << e.id;
        EXPECT_EQ(_wcsicmp(e2e::ClassName(control).c_str(), e.className), 0) << e.id;
        EXPECT_EQ(e2e::WindowText(control), e.text) << e.id;
        EXPECT_EQ(app.Enabled(e.id), e.enabled) << e.id;
        EXPECT_TRUE(IsWindowVisible(control)) << e.id;
    }
    EXPECT_EQ(app.Check(StandardCh), BST_CHECKED);
    EXPECT_EQ(app.Check(CustomCh), BST_UNCHECKED);
    for (int box : {EnableQual, EnableBitrate, DisableFiltering}) {
        EXPECT_EQ(app.Check(box), BST_UNCHECKED);
    }
    for (int label : {Label4, QualityDesc, BitrateDesc, Label6}) {
        EXPECT_EQ(GetWindowLongPtrW(app.Item(label), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    }
    struct SliderSetup {
        int id, maximum, position;
    };
    for (const SliderSetup& s : {SliderSetup{Slider1, 9, 0}, SliderSetup{Slider2, 5, 4}}) {
        HWND slider = app.Item(s.id);
        const LONG_PTR style = GetWindowLongPtrW(slider, GWL_STYLE);
        EXPECT_EQ(style & TBS_VERT, 0);
        EXPECT_NE(style & TBS_AUTOTICKS, 0);
        EXPECT_EQ(style & (TBS_TOP | TBS_BOTH | TBS_NOTICKS), 0); // ticks below the track
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 0);
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), s.maximum);
        EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), s.position);
        EXPECT_EQ(SendMessageW(slider, TBM_GETLINESIZE, 0, 0), 1);
        EXPECT_EQ(SendMessageW(slider, TBM_GETPAGESIZE, 0, 0), 5);
        EXPECT_EQ(SendMessageW(slider, TBM_GETNUMTICS, 0, 0), s.maximum + 1);
    }
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.FocusId() == BrowBut1; }));
}

TEST(Window, HasAFixedBorderAndOnlyTheCloseBox) {
    App app;
    const LONG_PTR style = GetWindowLongPtrW(app.Window(), GWL_STYLE);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
    // Asking for another size leaves the client area as it is.
    RECT before;
    GetClientRect(app.Window(), &before);
    SendMessageW(app.Window(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    RECT after;
    GetClientRect(app.Window(), &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_FALSE(IsZoomed(app.Window()));
}

TEST(Window, LaysOutAt96Dpi) {
    App app;
    ExpectGeometry(app, 96);
}

// Run on a desktop of its own at a higher DPI (see the e2e_window_high_dpi test).
TEST(Window, LaysOutAtTheDesktopsHigherDpi) {
    wchar_t dpi[16] = {};
    if (GetEnvironmentVariableW(L"SORVANE_E2E_DPI", dpi, 16) == 0) {
        GTEST_SKIP() << "needs a desktop at a higher DPI";
    }
    App app;
    ExpectGeometry(app, _wtoi(dpi));
}

std::wstring VersionString(const std::vector<BYTE>& data, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return L"(missing)";
    }
    return std::wstring(value, wcsnlen(value, length));
}

TEST(Window, ExecutableCarriesItsVersionRecord) {
    const std::wstring exe = e2e::BuildFolder() + L"\\Sorvane.exe";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(4, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(19, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(4, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(19, 0));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(VersionString(data, L"FileVersion"), L"1.04.0019");
    EXPECT_EQ(VersionString(data, L"ProductVersion"), L"1.04.0019");
    EXPECT_EQ(VersionString(data, L"ProductName"), L"Sorvane Encoder Interface");
    EXPECT_EQ(VersionString(data, L"InternalName"), L"Sorvane");
    EXPECT_EQ(VersionString(data, L"OriginalFilename"), L"Sorvane.exe");
    EXPECT_EQ(VersionString(data, L"CompanyName"), L"<none>");
}

} // namespace
