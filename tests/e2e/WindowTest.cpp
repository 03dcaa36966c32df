// Drives the real Sorvane.exe from outside, as a person would, by tables of scenarios (a
// start-up text, then steps and what the window and the stand-in lame.exe and notepad.exe
// must show and receive); then the window as it opens, repeated use, the version record.
#include "ControlIds.h"
#include "Layout.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace sorvane::ids;

// Polls until the condition holds or the time is up; returns the last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !condition(); Sleep(20)) {
        if (GetTickCount64() > end) {
            return condition();
        }
    }
    return true;
}

// By WM_GETTEXT, as GetWindowText does not ask a control of another process.
std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), 0);
    SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

// Where the build put Sorvane.exe beside the stand-ins, and a copy alone in "alone".
std::wstring BuildFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    return path.substr(0, path.find_last_of(L'\\'));
}

// The system beeps so far: Wine rings the X bell, and script/lib.sh logs each ring as a byte.
std::size_t Beeps() {
    wchar_t log[MAX_PATH] = {};
    EXPECT_NE(GetEnvironmentVariableW(L"SORVANE_BELL_LOG", log, MAX_PATH), 0u) << "no bell log";
    HANDLE file =
        CreateFileW(log, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

enum Op {
    Click,   // id: the control is clicked
    Key,     // id: this virtual key is pressed
    Tab,     // id: Tab (value 1: Shift+Tab) moves the focus to this control
    TabTo,   // id: Tab until this control has the focus
    Focus,   // id: the focus is on this control
    SetText, // id, text: the control's text is set
    Drag,    // id, value: the slider's thumb is dragged to this position
    Text,    // id, text: the control shows this text
    Checked, // id, value: the button's check state
    Enabled, // id, value: 1 enabled, 0 disabled
    Launch,  // text: "Start Encoding" starts one more program with this command line
    Started, // text: one more program was started with this command line; in the current
             // folder, or in the one on the text's second line
    Dialog,  // id, text: the button's file dialog is given this file (no text: cancelled)
    Message, // text: a message box shows, holding each |-separated part, no %; OK closes it
    Away,    // another window is activated, then Sorvane's window again
};

// In a step's text "<dir>" stands for a fresh folder of the scenario's own.
struct Step {
    Step(Op o, int i = 0, int v = 0) : op(o), id(i), value(v) {}
    Step(Op o, std::wstring t) : op(o), text(std::move(t)) {}
    Step(Op o, int i, std::wstring t) : op(o), id(i), text(std::move(t)) {}
    Op op;
    int id = 0, value = 0;
    std::wstring text;
};

// One running Sorvane.exe with a fresh folder for the stand-ins' records.
struct App {
    explicit App(const std::wstring& argument = L"", bool alone = false) {
        static int count = 0;
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        folder = temp + (L"Sorvane тест " + std::to_wstring(GetCurrentProcessId())) + L"-" +
                 std::to_wstring(++count);
        CreateDirectoryW(folder.c_str(), nullptr);
        SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", folder.c_str());
        std::wstring line =
            L"\"" + BuildFolder() + (alone ? L"\\alone" : L"") + L"\\Sorvane.exe\" " + argument;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &info));
        CloseHandle(info.hThread);
        process = info.hProcess;
        WaitUntil(
            [&] { return IsWindowVisible(window = FindWindowW(SORVANE_WINDOW_CLASS, nullptr)); });
    }
    ~App() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "closing did not end it";
        TerminateProcess(process, 1);
        CloseHandle(process);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    int Check(int id) const { return static_cast<int>(SendMessageW(Item(id), BM_GETCHECK, 0, 0)); }
    // A dialog or a message box of the window, once it shows.
    HWND Popup() const {
        HWND popup = nullptr;
        WaitUntil([&] { return (popup = GetLastActivePopup(window)) != window; });
        return popup;
    }
    int FocusId() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        return GetParent(info.hwndFocus) == window ? GetDlgCtrlID(info.hwndFocus) : 0;
    }
    void Activate() const {
        SetForegroundWindow(window);
        WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
    }
    void Click(int id) const {
        Activate();
        PostMessageW(Item(id), BM_CLICK, 0, 0);
    }
    // Through the system's input queue, to whatever control has the focus.
    void Key(WORD key, bool shift = false) const {
        Activate();
        INPUT inputs[4] = {};
        const WORD keys[4] = {VK_SHIFT, key, key, VK_SHIFT};
        for (int i = 0; i < 4; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = keys[i];
            inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        SendInput(shift ? 4 : 2, shift ? inputs : inputs + 1, sizeof(INPUT));
    }
    // The records of the stand-ins' starts (see StandIn.cpp), named by their start time.
    std::map<std::wstring, std::wstring> Records() const {
        std::map<std::wstring, std::wstring> records;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*.rec").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileW(search, &found)) {
            HANDLE file = CreateFileW((folder + L"\\" + found.cFileName).c_str(), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
            std::wstring& record = records[found.cFileName];
            record.resize(found.nFileSizeLow / sizeof(wchar_t));
            DWORD read = 0;
            ReadFile(file, record.data(), found.nFileSizeLow, &read, nullptr);
            CloseHandle(file);
        }
        FindClose(search);
        return records;
    }

    void Run(const Step& step) {
        std::wstring text = step.text;
        for (std::size_t at; (at = text.find(L"<dir>")) != text.npos;) {
            text.replace(at, 5, folder);
        }
        const auto expect = [&](const std::function<bool()>& condition) {
            EXPECT_TRUE(WaitUntil(condition))
                << "step " << step.op << ", id " << step.id << ", " << step.value << ", " << text;
        };
        HWND popup = nullptr;
        // Its folder, a normal window, a console of its own.
        std::wstring record =
            text + (text.find(L'\n') != text.npos ? L"" : L"\n" + folder) + L"\n1\n1";
        std::map<std::wstring, std::wstring> records;
        const auto n = static_cast<std::ptrdiff_t>(started);
        switch (step.op) {
        case Op::Click:
            return Click(step.id);
        case Op::Key:
            return Key(static_cast<WORD>(step.id));
        case Op::Tab:
            Key(VK_TAB, step.value == 1);
            return expect([&] { return FocusId() == step.id; });
        case Op::TabTo:
            for (int i = 0, before; i < 20 && (before = FocusId()) != step.id; ++i) {
                Key(VK_TAB);
                WaitUntil([&] { return FocusId() != before; }, 3000);
            }
            [[fallthrough]];
        case Op::Focus:
            return expect([&] { return FocusId() == step.id; });
        case Op::SetText:
            SendMessageW(Item(step.id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            return;
        case Op::Drag: // the thumb moves without notice, then the slider tells of the drag
            SendMessageW(Item(step.id), TBM_SETPOS, TRUE, step.value);
            SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, step.value),
                         reinterpret_cast<LPARAM>(Item(step.id)));
            return;
        case Op::Text:
            return expect([&] { return Text(step.id) == text; });
        case Op::Checked:
            return expect([&] { return Check(step.id) == step.value; });
        case Op::Enabled:
            return expect([&] { return IsWindowEnabled(Item(step.id)) == step.value; });
        case Op::Launch:
            Click(Command1);
            [[fallthrough]];
        case Op::Started: {
            // For the encoder, the C runtime must also find the paths the boxes show as its last
            // two arguments. A record may be read while still being written, so this waits.
            const bool encoder = text.rfind(L"lame.exe", 0) == 0;
            const std::wstring paths = L"\n" + Text(InputFileTxt) + L"\n" + Text(OutputFileTxt);
            const auto whole = [&](const std::wstring& got) {
                return got.rfind(record + L"\n", 0) == 0 &&
                       (!encoder || paths.size() == 2 ||
                        got.substr(got.size() - std::min(got.size(), paths.size())) == paths);
            };
            WaitUntil([&] {
                records = Records();
                return records.size() > started && whole(std::next(records.begin(), n)->second);
            });
            ASSERT_GT(records.size(), started++) << text;
            EXPECT_TRUE(whole(std::next(records.begin(), n)->second))
                << std::next(records.begin(), n)->second;
            encoders += encoder ? 1 : 0; // the encoder's start, and only that, beeps
            return expect([&] { return Beeps() - beeps >= encoders; });
        }
        case Op::Dialog:
            if (step.id == BrowBut1 && !text.empty()) { // the open dialog wants a file
                CreateDirectoryW(text.substr(0, text.find_last_of(L'\\')).c_str(), nullptr);
                CloseHandle(CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                        nullptr));
            }
            Click(step.id);
            popup = Popup();
            // The file name box: edt1 in the older layout, else the combo box cmb13.
            SendMessageW(GetDlgItem(popup, 0x480) ? GetDlgItem(popup, 0x480)
                                                  : GetDlgItem(popup, 0x47c),
                         WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            PostMessageW(popup, WM_COMMAND, text.empty() ? IDCANCEL : IDOK, 0);
            return expect([&] { return !IsWindow(popup); });
        case Op::Message: // its text is the static 0xFFFF
            popup = Popup();
            record = WindowText(GetDlgItem(popup, 0xFFFF));
            for (std::size_t at = 0, end = 0; end < text.size(); at = end + 1) {
                end = std::min(text.find(L'|', at), text.size());
                EXPECT_NE(record.find(text.substr(at, end - at)), record.npos) << record;
            }
            EXPECT_EQ(record.find(L'%'), record.npos) << record; // no insert left unfilled
            PostMessageW(popup, WM_COMMAND, IDOK, 0);
            return expect([&] { return !IsWindow(popup) && IsWindowVisible(window); });
        case Op::Away:
            popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr,
                                    nullptr, nullptr, nullptr);
            SetForegroundWindow(popup);
            expect([&] { return GetForegroundWindow() == popup; });
            Activate();
            DestroyWindow(popup);
            return;
        }
    }

    std::wstring folder;
    HANDLE process = nullptr;
    HWND window = nullptr;
    std::size_t started = 0, encoders = 0; // the starts the steps so far expect
    std::size_t beeps = Beeps();           // before this program started
};

struct Scenario {
    std::wstring argument;            // the start-up text
    std::wstring inputBox, outputBox; // what the path boxes show once the window opens
    std::vector<Step> steps;
    bool alone = false; // no stand-ins beside Sorvane.exe
};

TEST(Window, Scenarios) {
    const std::wstring x(32766 - 30, L'x'); // makes the longest command Windows takes
    const std::wstring longIn =
        L"C:\\long path\\" + std::wstring(250, L'z') + L"\\" + std::wstring(735, L'y') + L".wav";
    const std::wstring longOut = longIn.substr(0, longIn.size() - 3) + L"mp3";
    const std::wstring odd = L"C:\\a\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.wa";
    const std::wstring oddQuoted = L"C:\\a\\\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.wa";
    // clang-format off
    const Scenario scenarios[] = {
        // The start-up text is the input path, or its first argument when quoted; too short
        // a path is kept but shows nowhere. A path is quoted on the command when it must be.
        {L"\"C:\\My Music\\a.wav\" /extra", L"C:\\My Music\\a.wav", L"C:\\My Music\\a.mp3",
            {{Launch, L"lame.exe -h  \"C:\\My Music\\a.wav\" \"C:\\My Music\\a.mp3\""}}},
        {L"ab", L"", L"", {{Launch, L"lame.exe -h  ab "}}},
        {odd + L"v  ", odd + L"v  ", odd + L"mp3", {{SetText, Text1, L"--ta \"A & B\" ^%PATH%!"},
            {Launch, L"lame.exe -h --ta \"A & B\" ^%PATH%! \"" + oddQuoted + L"v  \" \"" + oddQuoted + L"mp3\""}}},
        {longIn, longIn, longOut, {{Launch, L"lame.exe -h  \"" + longIn + L"\" \"" + longOut + L"\""}}},

        // Keyboard: tab order before and after "Custom", the option group, the check boxes
        // that "Standard" clears, Enter and Escape, the focus coming back to the window.
        {L"C:\\x.wav", L"C:\\x.wav", L"C:\\x.mp3", {
            {Focus, BrowBut1}, {Tab, BrowBut2}, {Tab, StandardCh}, {Tab, Command1}, {Tab, Text1},
            {Tab, Command2}, {Tab, BrowBut1}, {Tab, Command2, 1},
            {Click, CustomCh}, {Enabled, Slider1, 1}, {TabTo, BrowBut1}, {Tab, BrowBut2},
            {Tab, CustomCh}, {Tab, Command1}, {Tab, Text1}, {Tab, Slider1}, {Tab, EnableQual},
            {Tab, DisableFiltering}, {Tab, EnableBitrate}, {Tab, Slider2}, {Tab, Command2},
            {TabTo, CustomCh}, {Key, VK_UP}, {Checked, StandardCh, 1}, {Enabled, Frame2, 0},
            {Enabled, Slider2, 0}, {Key, VK_DOWN}, {Checked, CustomCh, 1}, {Enabled, Frame4, 1},
            {TabTo, EnableQual}, {Key, VK_SPACE}, {Checked, EnableQual, 1},
            {Tab, DisableFiltering}, {Key, VK_SPACE}, {Checked, DisableFiltering, 1},
            {Tab, EnableBitrate}, {Key, VK_SPACE}, {Checked, EnableBitrate, 1},
            {Click, StandardCh}, {Checked, EnableQual, 0}, {Checked, EnableBitrate, 0},
            {Checked, DisableFiltering, 0}, {Enabled, Frame3, 0},
            {Click, CustomCh}, {Checked, EnableQual, 0}, {Checked, DisableFiltering, 0},
            {TabTo, Command1}, {Key, VK_RETURN}, {Started, L"lame.exe   C:\\x.wav C:\\x.mp3"},
            {Key, VK_ESCAPE}, {TabTo, Text1}, {Key, VK_RETURN}, {TabTo, Command2},
            {Key, VK_RETURN}, {Started, L"notepad.exe USAGE\n" + BuildFolder()}, {TabTo, Text1}, {Away}, {Focus, Text1}}},

        // Settings reach the command; the labels follow the sliders, by keys and by drags.
        {L"C:\\in.wav", L"C:\\in.wav", L"C:\\in.mp3", {
            {Click, CustomCh}, {Launch, L"lame.exe   C:\\in.wav C:\\in.mp3"},
            {Click, EnableQual}, {Click, EnableBitrate}, {Click, DisableFiltering},
            {TabTo, Slider1}, {Key, VK_RIGHT}, {Key, VK_RIGHT}, {Text, QualityDesc, L"Good quality, slow"},
            {Key, VK_NEXT}, {Text, QualityDesc, L"Bad quality, fast"},
            {Drag, Slider1, 4}, {Text, QualityDesc, L"Medium quality"},
            {Key, VK_END}, {Text, QualityDesc, L"Poor quality, very fast"},
            {Drag, Slider1, 2}, {Text, QualityDesc, L"Good quality, slow"},
            {TabTo, Slider2}, {Key, VK_LEFT}, {Text, BitrateDesc, L"96 kbps"},
            {Key, VK_LEFT}, {Text, BitrateDesc, L"64 kbps"}, {Key, VK_LEFT}, {Text, BitrateDesc, L"48 kbps"},
            {Key, VK_LEFT}, {Text, BitrateDesc, L"32 kbps"}, {Key, VK_END}, {Text, BitrateDesc, L"160 kbps"},
            {Drag, Slider2, 1}, {Text, BitrateDesc, L"48 kbps"}, {SetText, Text1, L"--tt \"Ünï title\""},
            {Launch, L"lame.exe  -q 2 -b 48 -k --tt \"Ünï title\" C:\\in.wav C:\\in.mp3"},
            {Click, EnableQual}, {Click, DisableFiltering}, {SetText, Text1, L""},
            {Launch, L"lame.exe  -b 48  C:\\in.wav C:\\in.mp3"},
            {Click, StandardCh}, {Launch, L"lame.exe -h  C:\\in.wav C:\\in.mp3"},
            // Every click starts one more; the slider kept its place through the switches.
            {Click, CustomCh}, {Click, Command1}, {Click, Command1},
            {Started, L"lame.exe   C:\\in.wav C:\\in.mp3"}, {Started, L"lame.exe   C:\\in.wav C:\\in.mp3"},
            {Click, EnableBitrate}, {Launch, L"lame.exe  -b 48  C:\\in.wav C:\\in.mp3"}}},

        // The file dialogs: the save dialog adds the extension; a new input replaces the
        // chosen output; cancelling changes nothing.
        {L"", L"", L"", {
            {Dialog, BrowBut1, L"<dir>\\Мои записи\\концерт 1.wav"},
            {Text, InputFileTxt, L"<dir>\\Мои записи\\концерт 1.wav"},
            {Text, OutputFileTxt, L"<dir>\\Мои записи\\концерт 1.mp3"},
            {Dialog, BrowBut2, L"<dir>\\out put"}, {Text, OutputFileTxt, L"<dir>\\out put.mp3"},
            {Launch, L"lame.exe -h  \"<dir>\\Мои записи\\концерт 1.wav\" \"<dir>\\out put.mp3\""},
            {Dialog, BrowBut1, L"<dir>\\second.wav"}, {Text, OutputFileTxt, L"<dir>\\second.mp3"},
            {Dialog, BrowBut1}, {Dialog, BrowBut2},
            {Launch, L"lame.exe -h  \"<dir>\\second.wav\" \"<dir>\\second.mp3\""}}},

        // A failed start shows its number and the system's text, and for an encoder found
        // nowhere the places searched; the window lives on. Info then starts in Sorvane's folder.
        {L"C:\\keep.wav", L"C:\\keep.wav", L"C:\\keep.mp3", {
            {Click, Command1}, {Message, L"lame.exe|" + BuildFolder() + L"\\alone|Windows|PATH|Error 2: "},
            {Text, InputFileTxt, L"C:\\keep.wav"}, {Click, Command2},
            {Started, L"notepad.exe USAGE\n" + BuildFolder() + L"\\alone"}}, true},
        {L"C:\\a.wav", L"C:\\a.wav", L"C:\\a.mp3", {
            {SetText, Text1, x}, {Launch, L"lame.exe -h " + x + L" C:\\a.wav C:\\a.mp3"},
            {SetText, Text1, x + L"x"}, {Click, Command1}, {Message, L"Error 206: "}}},
    };
    // clang-format on
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.argument.substr(0, 40));
        App app(scenario.argument, scenario.alone);
        EXPECT_EQ(app.Text(InputFileTxt), scenario.inputBox);
        EXPECT_EQ(app.Text(OutputFileTxt), scenario.outputBox);
        for (const Step& step : scenario.steps) {
            app.Run(step);
        }
        EXPECT_EQ(app.Records().size(), app.started); // nothing more was started
        EXPECT_EQ(Beeps() - app.beeps, app.encoders); // and no more beeps sounded
    }
}

// The encoder is looked for in Sorvane's own folder, the system folders and PATH, never in
// the current folder: a lame.exe planted there (a text file, no program) is passed over for
// the one on PATH, even when PATH names the current folder as "."; Info opens the USAGE beside
// that one. Once PATH names the planted file's folder in full, the failure names that file.
TEST(Window, TheEncoderOnPathRunsNotOneInTheCurrentFolder) {
    std::wstring path(32767, L'\0'), planted;
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    {
        SetEnvironmentVariableW(L"PATH", (L";.;" + BuildFolder() + L";" + path).c_str());
        App app(L"C:\\a.wav", true);
        planted = app.folder + L"\\lame.exe";
        HANDLE file =
            CreateFileW(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "no program", 10, &written, nullptr);
        CloseHandle(file);
        app.Run({Launch, L"lame.exe -h  C:\\a.wav C:\\a.mp3"});
        app.Run({Click, Command2});
        app.Run({Started, L"notepad.exe USAGE\n" + BuildFolder()});
    }
    SetEnvironmentVariableW(L"PATH", (planted.substr(0, planted.size() - 9) + L";" + path).c_str());
    App app(L"C:\\a.wav", true);
    SetEnvironmentVariableW(L"PATH", path.c_str());
    app.Run({Click, Command1});
    app.Run({Message, planted});
}

// The window as it opens, here and at a higher DPI (e2e_window_high_dpi): each control where
// the program's own layout puts it, all scaled by one factor, which the UI font may raise
// above the DPI's own.
TEST(Window, Opens) {
    wchar_t dpi[8] = L"96";
    GetEnvironmentVariableW(L"SORVANE_E2E_DPI", dpi, 8);
    App app;
    ASSERT_EQ(GetDpiForWindow(app.window), static_cast<UINT>(_wtoi(dpi)));
    RECT client;
    GetClientRect(app.window, &client);
    const double scale = client.right / 8880.0; // twips to pixels
    EXPECT_GE(client.right, MulDiv(8880, _wtoi(dpi), 1440));
    EXPECT_NEAR(client.bottom, 5400 * scale, 1.0);
    int count = 0;
    const sorvane::ControlLayout* layouts = sorvane::ControlLayouts(&count);
    for (const sorvane::ControlLayout& c : std::vector(layouts, layouts + count)) {
        RECT at; // a control in a frame is placed from the frame's corner
        GetWindowRect(app.Item(c.id), &at);
        MapWindowPoints(nullptr, app.window, reinterpret_cast<POINT*>(&at), 2);
        const auto frame =
            std::find_if(layouts, layouts + count, [&](auto& f) { return f.id == c.frame; });
        const int left = c.left + (frame != layouts + count ? frame->left : 0);
        const int top = c.top + (frame != layouts + count ? frame->top : 0);
        EXPECT_NEAR(at.left, left * scale, 1.0) << c.id;
        EXPECT_NEAR(at.top, top * scale, 1.0) << c.id;
        EXPECT_NEAR(at.right, (left + c.width) * scale, 1.0) << c.id;
        EXPECT_NEAR(at.bottom, (top + c.height) * scale, 1.0) << c.id;
    }
    EXPECT_EQ(WindowText(app.window), L"Sorvane MP3 Encoder Interface");
    EXPECT_EQ(app.Check(StandardCh), BST_CHECKED);
    // The labels start in step with the sliders, and their texts stay centred.
    EXPECT_EQ(app.Text(QualityDesc), L"Highest quality, very slow");
    EXPECT_EQ(app.Text(BitrateDesc), L"128 kbps");
    for (const int label : {Label4, QualityDesc, BitrateDesc, Label6}) {
        EXPECT_EQ(GetWindowLongPtrW(app.Item(label), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    }
    // A fixed border and only the close box: asking for another size changes nothing.
    EXPECT_EQ(GetWindowLongPtrW(app.window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    SendMessageW(app.window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    GetClientRect(app.window, &client);
    EXPECT_NEAR(client.right, 8880 * scale, 0.5);
}

// Launches, dialogs and switches over and over: every encoder starts, and the program holds
// no more handles than before (a leak of one a round would show as ten). The handles are
// counted by copying each handle value that is in use, as Wine answers 0 to
// GetProcessHandleCount (and to GetGuiResources, so GDI and USER objects go uncounted).
TEST(Window, RepeatedUseLeavesNoHandlesBehind) {
    App app(L"C:\\Music\\burst.wav");
    const auto handles = [&] {
        int count = 0;
        for (ULONG_PTR value = 4; value < 16384; value += 4) {
            HANDLE copy = nullptr;
            count += DuplicateHandle(app.process, reinterpret_cast<HANDLE>(value),
                                     GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
            CloseHandle(copy);
        }
        return count;
    };
    const auto use = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            app.Run({Launch, L"lame.exe -h  C:\\Music\\burst.wav C:\\Music\\burst.mp3"});
            app.Run({Dialog, i % 2 == 0 ? BrowBut1 : BrowBut2});
            app.Run({Click, CustomCh});
            app.Run({Click, StandardCh});
        }
    };
    use(2);
    const int before = handles();
    use(10);
    EXPECT_GT(before, 0);
    EXPECT_LE(handles(), before + 4);
}

TEST(Window, ExecutableCarriesItsVersionRecord) {
    const std::wstring exe = BuildFolder() + L"\\Sorvane.exe";
    std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    const auto value = [&](const std::wstring& path) {
        void* found = nullptr;
        UINT length = 0;
        return VerQueryValueW(data.data(), path.c_str(), &found, &length) ? found : nullptr;
    };
    const auto* fixed = static_cast<const DWORD*>(value(L"\\")); // a VS_FIXEDFILEINFO
    const auto* language = static_cast<const DWORD*>(value(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(fixed != nullptr && language != nullptr);
    EXPECT_EQ(std::vector<DWORD>(fixed + 2, fixed + 6), // file and product version
              std::vector<DWORD>({0x10004, 19, 0x10004, 19}));
    EXPECT_EQ(*language, 0x04B00409u); // US English, Unicode
                                       // clang-format off
    for (const auto& [name, text] : {std::pair{L"FileVersion", L"1.04.0019"}, {L"ProductVersion", L"1.04.0019"},
             {L"ProductName", L"Sorvane Encoder Interface"}, {L"InternalName", L"Sorvane"},
             {L"OriginalFilename", L"Sorvane.exe"}, {L"CompanyName", L"<none>"}}) {
        // clang-format on
        EXPECT_STREQ(static_cast<const wchar_t*>(
                         value(L"\\StringFileInfo\\040904B0\\" + std::wstring(name))),
                     text)
            << name;
    }
}

} // namespace
