// Many launches, dialogs and switches in a row: every encoder starts, the window stays
// responsive, and the process holds no more handles or window objects than before.
#include "ControlIds.h"
#include "Driver.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace sorvane::ids;
using e2e::App;

struct Resources {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
};

Resources Measure(const App& app) {
    Resources r;
    GetProcessHandleCount(app.Process(), &r.handles);
    r.gdi = GetGuiResources(app.Process(), GR_GDIOBJECTS);
    r.user = GetGuiResources(app.Process(), GR_USEROBJECTS);
    return r;
}

// Handles may come and go with the system's own caches; a leak of one per action would
// show as dozens here.
constexpr DWORD kTolerance = 10;

void ExpectNoGrowth(const Resources& first, const Resources& later, const char* what) {
    std::printf("%s: handles %lu -> %lu, GDI %lu -> %lu, USER %lu -> %lu\n", what, first.handles,
                later.handles, first.gdi, later.gdi, first.user, later.user);
    EXPECT_LE(later.handles, first.handles + kTolerance) << what;
    EXPECT_LE(later.gdi, first.gdi + kTolerance) << what;
    EXPECT_LE(later.user, first.user + kTolerance) << what;
}

bool Responsive(const App& app) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(app.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

TEST(Load, TwoHundredLaunchesInABurst) {
    App app(L"C:\\Music\\burst.wav");
    ASSERT_EQ(app.Records().size(), 0u);
    app.Click(Command1);
    ASSERT_EQ(app.WaitForRecords(1).size(), 1u);
    const Resources first = Measure(app);
    for (int i = 1; i < 200; ++i) {
        PostMessageW(app.Item(Command1), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(Responsive(app));
    const auto records = app.WaitForRecords(200, 240000);
    EXPECT_EQ(records.size(), 200u);
    for (const auto& record : records) {
        EXPECT_EQ(record.commandLine, L"lame.exe -h  C:\\Music\\burst.wav C:\\Music\\burst.mp3");
    }
    EXPECT_TRUE(Responsive(app));
    EXPECT_EQ(app.Text(InputFileTxt), L"C:\\Music\\burst.wav");
    ExpectNoGrowth(first, Measure(app), "200 launches");
}

TEST(Load, DialogRoundTripsAndSwitchesLeaveNoObjectsBehind) {
    App app;
    const auto roundTrip = [&](int button) {
        app.Click(button);
        HWND dialog = app.WaitForOwnedWindow();
        ASSERT_NE(dialog, nullptr);
        e2e::PressDialogButton(dialog, IDCANCEL);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }));
    };
    roundTrip(BrowBut1);
    roundTrip(BrowBut2);
    const Resources afterFirstDialogs = Measure(app);
    for (int i = 1; i < 50; ++i) {
        roundTrip(i % 2 == 0 ? BrowBut1 : BrowBut2);
    }
    ExpectNoGrowth(afterFirstDialogs, Measure(app), "50 dialog round trips");

    const auto toggle = [&] {
        app.Click(CustomCh);
        ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(Slider2); }));
        app.Click(StandardCh);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !app.Enabled(Slider2); }));
    };
    toggle();
    const Resources afterFirstSwitch = Measure(app);
    for (int i = 1; i < 50; ++i) {
        toggle();
    }
    ExpectNoGrowth(afterFirstSwitch, Measure(app), "50 standard/custom switches");
    EXPECT_TRUE(Responsive(app));
}

} // namespace
