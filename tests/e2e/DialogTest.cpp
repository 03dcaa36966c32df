// The two "Browse..." buttons with the system's own open and save dialogs.
#include "ControlIds.h"
#include "Driver.h"

#include <gtest/gtest.h>

namespace {

using namespace sorvane::ids;
using e2e::App;

// Opens the dialog of a button, types a file name into it and confirms or cancels.
HWND OpenDialog(const App& app, int button) {
    app.Click(button);
    HWND dialog = app.WaitForOwnedWindow();
    EXPECT_NE(dialog, nullptr);
    EXPECT_EQ(e2e::ClassName(dialog), L"#32770");
    return dialog;
}

void Choose(HWND dialog, const std::wstring& path) {
    HWND box = e2e::FileNameBox(dialog);
    ASSERT_NE(box, nullptr);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    e2e::PressDialogButton(dialog, IDOK);
}

bool Closed(HWND window) {
    return e2e::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

TEST(Dialogs, ChoosingFilesFillsTheBoxesAndANewInputReplacesTheChosenOutput) {
    App app;
    const std::wstring wave = app.Folder() + L"\\Мои записи\\концерт 1.wav";
    e2e::WriteFileText(wave, "RIFF");

    HWND open = OpenDialog(app, BrowBut1);
    Choose(open, wave);
    ASSERT_TRUE(Closed(open));
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(InputFileTxt) == wave; }));
    EXPECT_EQ(app.Text(OutputFileTxt), app.Folder() + L"\\Мои записи\\концерт 1.mp3");

    const std::wstring chosen = app.Folder() + L"\\out put";
    HWND save = OpenDialog(app, BrowBut2);
    Choose(save, chosen); // the dialog adds the default extension
    ASSERT_TRUE(Closed(save));
    EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(OutputFileTxt) == chosen + L".mp3"; }));
    EXPECT_EQ(app.Text(InputFileTxt), wave);

    const std::wstring second = app.Folder() + L"\\second.wav";
    e2e::WriteFileText(second, "RIFF");
    open = OpenDialog(app, BrowBut1);
    Choose(open, second);
    ASSERT_TRUE(Closed(open));
    EXPECT_TRUE(
        e2e::WaitUntil([&] { return app.Text(OutputFileTxt) == app.Folder() + L"\\second.mp3"; }));

    // The command carries what the boxes show.
    app.Click(Command1);
    const auto records = app.WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].argv, (std::vector<std::wstring>{L"lame.exe", L"-h", second,
                                                          app.Folder() + L"\\second.mp3"}));
}

TEST(Dialogs, CancelChangesNothing) {
    App app(L"C:\\Music\\a.wav");
    for (int button : {BrowBut1, BrowBut2}) {
        HWND dialog = OpenDialog(app, button);
        e2e::PressDialogButton(dialog, IDCANCEL);
        ASSERT_TRUE(Closed(dialog));
    }
    Sleep(200);
    EXPECT_EQ(app.Text(InputFileTxt), L"C:\\Music\\a.wav");
    EXPECT_EQ(app.Text(OutputFileTxt), L"C:\\Music\\a.mp3");
    app.Click(Command1);
    const auto records = app.WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].commandLine, L"lame.exe -h  C:\\Music\\a.wav C:\\Music\\a.mp3");
}

} // namespace
