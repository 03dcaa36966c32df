// Keyboard and mouse use of the window: tab order, option group, check boxes, sliders,
// Enter and Escape, and the focus coming back after another window was active.
#include "ControlIds.h"
#include "Driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

using namespace sorvane::ids;
using e2e::App;

std::vector<int> TabCycle(const App& app, int steps, bool shift = false) {
    std::vector<int> visited;
    for (int i = 0; i < steps; ++i) {
        visited.push_back(app.Tab(shift));
    }
    return visited;
}

TEST(Keyboard, TabVisitsOnlyEnabledControlsInOrder) {
    App app;
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.FocusId() == BrowBut1; }));
    EXPECT_EQ(TabCycle(app, 6),
              (std::vector<int>{BrowBut2, StandardCh, Command1, Text1, Command2, BrowBut1}));
    EXPECT_EQ(TabCycle(app, 3, true), (std::vector<int>{Command2, Text1, Command1}));

    app.Click(CustomCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(Slider1); }));
    // Start from the first button again and walk the whole cycle.
    while (app.FocusId() != BrowBut1) {
        app.Tab();
    }
    EXPECT_EQ(TabCycle(app, 11),
              (std::vector<int>{BrowBut2, CustomCh, Command1, Text1, Slider1, EnableQual,
                                DisableFiltering, EnableBitrate, Slider2, Command2, BrowBut1}));
}

TEST(Keyboard, ArrowsMoveWithinTheOptionGroup) {
    App app;
    while (app.FocusId() != StandardCh) {
        app.Tab();
    }
    app.Key(VK_DOWN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(CustomCh) == BST_CHECKED; }));
    EXPECT_EQ(app.Check(StandardCh), BST_UNCHECKED);
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Enabled(Frame2) && app.Enabled(EnableBitrate); }));
    EXPECT_EQ(app.FocusId(), CustomCh);
    app.Key(VK_UP);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(StandardCh) == BST_CHECKED; }));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !app.Enabled(Frame2) && !app.Enabled(Slider2); }));
}

TEST(Keyboard, SpaceTogglesCheckBoxesAndStandardClearsThem) {
    App app;
    app.Click(CustomCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(EnableQual); }));
    while (app.FocusId() != EnableQual) {
        app.Tab();
    }
    app.Key(VK_SPACE);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(EnableQual) == BST_CHECKED; }));
    app.Tab();
    ASSERT_EQ(app.FocusId(), DisableFiltering);
    app.Key(VK_SPACE);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(DisableFiltering) == BST_CHECKED; }));

    app.Click(StandardCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !app.Enabled(EnableQual); }));
    EXPECT_EQ(app.Check(EnableQual), BST_UNCHECKED);
    EXPECT_EQ(app.Check(DisableFiltering), BST_UNCHECKED);
    EXPECT_FALSE(app.Enabled(Frame3));
    app.Click(CustomCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(EnableQual); }));
    EXPECT_EQ(app.Check(EnableQual), BST_UNCHECKED);
    // Sliders keep their positions through the switches.
    EXPECT_EQ(app.SliderPosition(Slider2), 4);
}

TEST(Keyboard, SliderKeysStepTheCaptions) {
    App app;
    app.Click(CustomCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(Slider2); }));
    while (app.FocusId() != Slider2) {
        app.Tab();
    }
    for (const wchar_t* caption : {L"96 kbps", L"64 kbps", L"48 kbps", L"32 kbps"}) {
        app.Key(VK_LEFT);
        EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(BitrateDesc) == caption; })) << caption;
    }
    app.Key(VK_LEFT); // already at the end: nothing changes
    app.Key(VK_END);
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(BitrateDesc) == L"160 kbps"; }));
    EXPECT_EQ(app.SliderPosition(Slider2), 5);

    while (app.FocusId() != Slider1) {
        app.Tab(true);
    }
    const wchar_t* quality[] = {L"Highest quality, very slow",
                                L"Good quality, slow",
                                L"Good quality, slow",
                                L"Medium quality",
                                L"Medium quality",
                                L"Bad quality, fast",
                                L"Bad quality, fast",
                                L"Poor quality, very fast",
                                L"Poor quality, very fast"};
    for (int level = 1; level <= 9; ++level) {
        app.Key(VK_RIGHT);
        EXPECT_TRUE(e2e::WaitUntil([&] { return app.SliderPosition(Slider1) == level; }));
        EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(QualityDesc) == quality[level - 1]; }))
            << level;
    }
    app.Key(VK_HOME);
    EXPECT_TRUE(
        e2e::WaitUntil([&] { return app.Text(QualityDesc) == L"Highest quality, very slow"; }));
    app.Key(VK_NEXT); // page: five steps
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.SliderPosition(Slider1) == 5; }));
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(QualityDesc) == L"Medium quality"; }));
}

TEST(Keyboard, DraggingTheThumbUpdatesTheCaptionBeforeRelease) {
    App app;
    app.Click(CustomCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(Slider2); }));
    app.Activate();
    const RECT thumb = app.ThumbRect(Slider2);
    RECT track;
    GetWindowRect(app.Item(Slider2), &track);
    const POINT grab{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    e2e::MouseMove(grab);
    e2e::MouseButton(true);
    for (int x = grab.x; x >= track.left; x -= 8) {
        e2e::MouseMove({x, grab.y});
    }
    // Still held: the label already follows the thumb.
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(BitrateDesc) == L"32 kbps"; }));
    e2e::MouseButton(false);
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.SliderPosition(Slider2) == 0; }));
    EXPECT_EQ(app.Text(BitrateDesc), L"32 kbps");
}

TEST(Keyboard, EnterPressesTheFocusedButtonAndEscapeDoesNothing) {
    App app;
    while (app.FocusId() != Command1) {
        app.Tab();
    }
    app.Key(VK_RETURN);
    EXPECT_EQ(app.WaitForRecords(1).size(), 1u);
    app.Key(VK_ESCAPE);
    Sleep(500);
    EXPECT_TRUE(app.Alive());
    EXPECT_TRUE(IsWindowVisible(app.Window()));
    EXPECT_EQ(app.Records().size(), 1u);
    // Enter in the options box starts nothing.
    while (app.FocusId() != Text1) {
        app.Tab();
    }
    app.Key(VK_RETURN);
    Sleep(500);
    EXPECT_EQ(app.Records().size(), 1u);
}

TEST(Keyboard, FocusComesBackWhenTheWindowIsActivatedAgain) {
    App app;
    while (app.FocusId() != Text1) {
        app.Tab();
    }
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == other; }));
    app.Activate();
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.FocusId() == Text1; }));
    DestroyWindow(other);
}

} // namespace
