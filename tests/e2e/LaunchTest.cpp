// "Start Encoding" and "Info": the exact command lines that reach the programs, the
// arguments their C runtime splits them into, start-up arguments, and failures to start.
#include "ControlIds.h"
#include "Driver.h"
#include "support/WindowsArgv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace sorvane::ids;
using e2e::App;
using Args = std::vector<std::wstring>;

e2e::Record StartOne(const App& app) {
    const std::size_t before = app.Records().size();
    app.Click(Command1);
    auto records = app.WaitForRecords(before + 1);
    EXPECT_EQ(records.size(), before + 1);
    return records.empty() ? e2e::Record{} : records.back();
}

// The split that Microsoft documents, to compare with what the real C runtime did.
Args DocumentedSplit(const std::wstring& commandLine) {
    Args args;
    for (const auto& arg : sorvane::testing::SplitWindowsCommandLine(
             std::u16string(commandLine.begin(), commandLine.end()))) {
        args.emplace_back(arg.begin(), arg.end());
    }
    return args;
}

TEST(Launch, StandardPresetStartsTheEncoderInANormalConsoleWindow) {
    App app(L"C:\\Music\\song.wav");
    const e2e::Record record = StartOne(app);
    EXPECT_EQ(record.program, L"lame");
    EXPECT_EQ(record.commandLine, L"lame.exe -h  C:\\Music\\song.wav C:\\Music\\song.mp3");
    EXPECT_EQ(record.argv,
              (Args{L"lame.exe", L"-h", L"C:\\Music\\song.wav", L"C:\\Music\\song.mp3"}));
    EXPECT_EQ(record.showWindow, SW_SHOWNORMAL);
    EXPECT_TRUE(record.ownConsole);
}

TEST(Launch, CustomCombinationsGiveTheirOptions) {
    App app(L"C:\\in.wav");
    app.Click(CustomCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(EnableQual); }));
    EXPECT_EQ(StartOne(app).commandLine, L"lame.exe   C:\\in.wav C:\\in.mp3");

    // Quality 2 by keys, bitrate 48 kbps, no filtering, typed options.
    app.Click(EnableQual);
    app.Click(EnableBitrate);
    app.Click(DisableFiltering);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(DisableFiltering) == BST_CHECKED; }));
    while (app.FocusId() != Slider1) {
        app.Tab();
    }
    app.Key(VK_RIGHT);
    app.Key(VK_RIGHT);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.SliderPosition(Slider1) == 2; }));
    while (app.FocusId() != Slider2) {
        app.Tab();
    }
    for (int i = 0; i < 3; ++i) {
        app.Key(VK_LEFT);
    }
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.SliderPosition(Slider2) == 1; }));
    while (app.FocusId() != Text1) {
        app.Tab();
    }
    app.Type(L"--tt \"Ünïcode title\"");
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Text(Text1) == L"--tt \"Ünïcode title\""; }));
    const e2e::Record full = StartOne(app);
    EXPECT_EQ(full.commandLine,
              L"lame.exe  -q 2 -b 48 -k --tt \"Ünïcode title\" C:\\in.wav C:\\in.mp3");
    EXPECT_EQ(full.argv, (Args{L"lame.exe", L"-q", L"2", L"-b", L"48", L"-k", L"--tt",
                               L"Ünïcode title", L"C:\\in.wav", L"C:\\in.mp3"}));

    // Only the bitrate; the quality slider is left where it is but not passed.
    app.Click(EnableQual);
    app.Click(DisableFiltering);
    app.SetText(Text1, L"");
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(DisableFiltering) == BST_UNCHECKED; }));
    EXPECT_EQ(StartOne(app).commandLine, L"lame.exe  -b 48  C:\\in.wav C:\\in.mp3");

    // Back to standard: nothing of the custom settings follows "-h".
    app.Click(StandardCh);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !app.Enabled(EnableBitrate); }));
    EXPECT_EQ(StartOne(app).commandLine, L"lame.exe -h  C:\\in.wav C:\\in.mp3");
}

TEST(Launch, AwkwardPathsArriveAsExactlyTheirArguments) {
    const std::vector<std::wstring> paths = {
        L"C:\\My Music\\song.wav",
        L"C:\\a\"b\\c.wav",
        L"C:\\Музыка\\песня 1.wav",
        L"C:\\音楽\\\U0001F3B5 曲.wav",
        L"C:\\trailing blanks.wav  ",
        L"C:\\dir\\ \\",
        L"C:\\a&b|c<d>e^f%g!h.wav",
        L"C:\\עברית\\ملف صوت.wav",
        L"C:\\cafe\u0301\\n\u0303o\u0308.wav",
        L"C:\\" + std::wstring(250, L'l') + L".wav",
        L"C:\\long path\\" + std::wstring(985, L'z') + L".wav",
    };
    for (const std::wstring& path : paths) {
        // Unquoted start-up text is taken whole, so each of these is the input path.
        App app(path);
        const std::wstring output = path.substr(0, path.size() - 3) + L"mp3";
        EXPECT_EQ(app.Text(InputFileTxt), path);
        EXPECT_EQ(app.Text(OutputFileTxt), output);
        app.SetText(Text1, L"--ta \"A & B\" ^%PATH%!");
        const e2e::Record record = StartOne(app);
        const Args expected = {L"lame.exe", L"-h", L"--ta", L"A & B", L"^%PATH%!", path, output};
        EXPECT_EQ(record.argv, expected) << record.commandLine;
        EXPECT_EQ(DocumentedSplit(record.commandLine), expected) << record.commandLine;
    }
}

TEST(Launch, EveryClickStartsOneMoreEncoder) {
    App app(L"C:\\x.wav");
    app.Click(Command1);
    app.Click(Command1);
    const auto records = app.WaitForRecords(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].commandLine, records[1].commandLine);
    Sleep(300);
    EXPECT_EQ(app.Records().size(), 2u);
}

TEST(Launch, InfoOpensTheUsageTextInNotepad) {
    App app;
    app.Click(Command2);
    const auto records = app.WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].program, L"notepad");
    EXPECT_EQ(records[0].commandLine, L"notepad.exe USAGE");
    EXPECT_EQ(records[0].argv, (Args{L"notepad.exe", L"USAGE"}));
    EXPECT_EQ(records[0].showWindow, SW_SHOWNORMAL);
}

TEST(Launch, AMissingEncoderIsReportedAndTheWindowLivesOn) {
    e2e::AppOptions options;
    options.withEncoder = false;
    App app(L"C:\\Music\\keep.wav", options);
    app.Click(CustomCh);
    app.Click(EnableQual);
    ASSERT_TRUE(e2e::WaitUntil([&] { return app.Check(EnableQual) == BST_CHECKED; }));
    app.Click(Command1);
    HWND box = app.WaitForOwnedWindow();
    ASSERT_NE(box, nullptr);
    const std::wstring text = e2e::MessageBoxText(box);
    EXPECT_EQ(text.rfind(L"Error 2: ", 0), 0u) << text;
    EXPECT_GT(text.size(), std::wstring(L"Error 2: ").size());
    e2e::PressDialogButton(box, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(app.Alive());
    EXPECT_EQ(app.Text(InputFileTxt), L"C:\\Music\\keep.wav");
    EXPECT_EQ(app.Check(CustomCh), BST_CHECKED);
    EXPECT_EQ(app.Check(EnableQual), BST_CHECKED);
    EXPECT_TRUE(app.Records().empty());
}

TEST(Launch, TheEncoderOnPathRunsNeverOneInTheCurrentFolder) {
    // Sorvane's folder has no encoder; the folder it starts in has a planted lame.exe that
    // is no program, so starting it would fail. PATH names that folder too, as ".".
    const std::wstring planted = e2e::TestRoot() + L"\\planted",
                       onPath = e2e::TestRoot() + L"\\путь";
    e2e::WriteFileText(planted + L"\\lame.exe", "not a program");
    CreateDirectoryW(onPath.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((e2e::BuildFolder() + L"\\stand_in.exe").c_str(),
                          (onPath + L"\\lame.exe").c_str(), FALSE));
    std::wstring path(32767, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (L";.;" + onPath + L";" + path).c_str());
    e2e::AppOptions options;
    options.withEncoder = false;
    options.currentFolder = planted;
    App app(L"C:\\Music\\a.wav", options);
    SetEnvironmentVariableW(L"PATH", path.c_str());
    const e2e::Record record = StartOne(app);
    EXPECT_EQ(record.commandLine, L"lame.exe -h  C:\\Music\\a.wav C:\\Music\\a.mp3");
    EXPECT_EQ(record.argv, (Args{L"lame.exe", L"-h", L"C:\\Music\\a.wav", L"C:\\Music\\a.mp3"}));
}

TEST(Launch, ACommandTooLongForWindowsIsReportedNotCut) {
    App app(L"C:\\a.wav");
    const std::wstring fixed = L"lame.exe -h  C:\\a.wav C:\\a.mp3";
    // The longest command Windows takes is 32,766 characters; one more is refused whole.
    app.SetText(Text1, std::wstring(32766 - fixed.size(), L'x'));
    const e2e::Record longest = StartOne(app);
    EXPECT_EQ(longest.commandLine.size(), 32766u);

    app.SetText(Text1, std::wstring(32767 - fixed.size(), L'x'));
    app.Click(Command1);
    HWND box = app.WaitForOwnedWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::MessageBoxText(box).rfind(L"Error 206: ", 0), 0u) << e2e::MessageBoxText(box);
    e2e::PressDialogButton(box, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(app.Alive());
    EXPECT_EQ(app.Records().size(), 1u);
}

TEST(Launch, APathTooLongForTheCommandIsReportedNotCut) {
    // A 32,000-character input and its output do not fit in one command line together.
    const std::wstring path = L"C:\\" + std::wstring(31992, L'p') + L".wav";
    App app(path);
    EXPECT_EQ(app.Text(InputFileTxt), path);
    app.Click(Command1);
    HWND box = app.WaitForOwnedWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::MessageBoxText(box).rfind(L"Error 206: ", 0), 0u);
    e2e::PressDialogButton(box, IDOK);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(app.Alive());
    EXPECT_TRUE(app.Records().empty());
}

struct StartupCase {
    const wchar_t* argument;
    const wchar_t* inputBox;
    const wchar_t* outputBox;
    Args encoderPaths;
};

TEST(Launch, StartupArgumentBecomesTheInputPath) {
    const std::vector<StartupCase> cases = {
        {L"", L"", L"", {}},
        {L"C:\\Music\\a.wav",
         L"C:\\Music\\a.wav",
         L"C:\\Music\\a.mp3",
         {L"C:\\Music\\a.wav", L"C:\\Music\\a.mp3"}},
        {L"C:\\My Music\\a.wav",
         L"C:\\My Music\\a.wav",
         L"C:\\My Music\\a.mp3",
         {L"C:\\My Music\\a.wav", L"C:\\My Music\\a.mp3"}},
        {L"\"C:\\My Music\\a.wav\"",
         L"C:\\My Music\\a.wav",
         L"C:\\My Music\\a.mp3",
         {L"C:\\My Music\\a.wav", L"C:\\My Music\\a.mp3"}},
        {L"\"C:\\My Music\\a.wav\" /extra",
         L"C:\\My Music\\a.wav",
         L"C:\\My Music\\a.mp3",
         {L"C:\\My Music\\a.wav", L"C:\\My Music\\a.mp3"}},
        // Too short to derive an output: the window still opens, the boxes stay empty,
        // and the argument is the input path.
        {L"a", L"", L"", {L"a"}},
        {L"ab", L"", L"", {L"ab"}},
        {L"abc", L"abc", L"mp3", {L"abc", L"mp3"}},
    };
    for (const StartupCase& c : cases) {
        App app(c.argument);
        EXPECT_EQ(app.Text(InputFileTxt), c.inputBox) << c.argument;
        EXPECT_EQ(app.Text(OutputFileTxt), c.outputBox) << c.argument;
        Args expected = {L"lame.exe", L"-h"};
        expected.insert(expected.end(), c.encoderPaths.begin(), c.encoderPaths.end());
        EXPECT_EQ(StartOne(app).argv, expected) << c.argument;
    }
}

} // namespace
