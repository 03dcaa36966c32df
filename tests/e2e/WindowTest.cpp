// Drives the real Sorvane.exe from another process, as a person would, for what only that shows:
// what stand-ins for lame.exe and notepad.exe receive, beeps, the file dialogs and the boxes, where
// the focus is after each, what a screen reader hears from outside, and closing it.
#include "ControlIds.h"
#include "Person.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using namespace sorvane::ids;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !condition(); Sleep(20)) {
        if (GetTickCount64() > end) {
            return condition();
        }
    }
    return true;
}

// The folder of Sorvane.exe, the stand-ins and the folders the build makes beside them.
const std::wstring kBin = [] {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    return path.substr(0, path.find_last_of(L'\\'));
}();

// The system beeps so far: Wine rings the X bell, and script/lib.sh logs each ring as a byte.
std::size_t Beeps() {
    wchar_t log[MAX_PATH] = {};
    GetEnvironmentVariableW(L"SORVANE_BELL_LOG", log, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(log, GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

void MakeFile(const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << "no program";
}

// The control of the window that has the focus, as its thread tells it.
int Focus(HWND window) {
    GUITHREADINFO info{sizeof(info)};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus == window ? -1 : GetDlgCtrlID(info.hwndFocus);
}

// In the file dialog the window opened, which lists only files of its type: a file given, or
// none for Cancel, and the answer when asked before a file is replaced.
void ChooseIn(HWND window, bool open, const std::wstring& file, int answer) {
    HWND dialog = nullptr, ask = nullptr, box = nullptr; // its name: edt1, or cmb13
    EXPECT_TRUE(WaitUntil([&] { return (dialog = GetLastActivePopup(window)) != window; }));
    box = GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480) : GetDlgItem(dialog, 0x47c);
    const auto give = [&](const std::wstring& name) {
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
    };
    give(kBin + L"\\types"); // OK on a folder opens it and empties the name: one file of a type
    EXPECT_TRUE(WaitUntil([&] {
        HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
        view = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
        return Text(box).empty() && view && SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 1;
    }));
    if ((open && !file.empty()) || answer != 0) { // once open: no folder before looks like it
        MakeFile(file);
    }
    give(file);
    if (answer != 0) { // in a box of the dialog's own
        EXPECT_TRUE(WaitUntil(
            [&] { return GetWindow(ask = GetLastActivePopup(dialog), GW_OWNER) == dialog; }));
        PostMessageW(ask, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(ask); }));
        if (answer == IDNO) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << file;
}

// A case: why it is there; Sorvane's start-up text; what a person does; what each program started
// records (its command line, then its folder on a line of its own unless the case's); the parts,
// between '|', of what a box of the window says; folders put before PATH, with which Sorvane runs
// alone, with no encoder beside it. A case that does nothing starts Sorvane minimized, never
// active. "<dir>" is the case's own folder, the current one, where a lame.exe never to run lies.
struct Case {
    const char* why;
    std::wstring args = L"C:\\a.wav";
    std::vector<Step> does;
    std::vector<std::wstring> runs;
    std::wstring box, path;
};

const std::wstring plain = L"lame.exe -h  C:\\a.wav C:\\a.mp3";
const std::wstring all = L"lame.exe  -q 0 -b 128 -k  C:\\a.wav C:\\a.mp3";
const std::wstring tags = L"--tt \"Song title\" --ta \"Артист\" -V 2 --tl \"Album (Live)\"";
// Blanks, quotes and what a command shell would read.
const std::wstring odd = L"C:\\a\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.";
const std::wstring oddQuoted = L"\"C:\\a\\\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.";
// A path that makes the longest command Windows takes; with " -k", one too long.
const std::wstring x = L"C:\\" + std::wstring(16369, L'x') + L".";
const std::wstring song = L"<dir>\\Мои записи\\концерт 1.wav", old = L"<dir>\\old.mp3";
const std::wstring alone = kBin + L"\\alone", usage = L"notepad.exe USAGE\n";
const Case kCases[] = {
    {.why = "Custom with every box ticked, started twice: two encoders, two beeps",
     .does = {Click{CustomCh}, Click{EnableQual}, Click{EnableBitrate}, Click{DisableFiltering},
              Click{Command1}, Click{Command1}},
     .runs = {all, all}},
    {.why = "the keyboard alone: Tab to the options, a line typed, back to Start Encoding, Enter",
     .does = {Press{VK_TAB, 4}, Type{tags}, Press{VK_TAB, 1, VK_SHIFT}, Press{VK_RETURN}},
     .runs = {L"lame.exe -h " + tags + L" C:\\a.wav C:\\a.mp3"}},
    {.why = "a path with blanks, quotes and a shell's signs, quoted as it must be",
     .args = odd + L"wav  ",
     .does = {Click{Command1}},
     .runs = {L"lame.exe -h  " + oddQuoted + L"wav  \" " + oddQuoted + L"wamp3\""}},
    {.why = "the longest command Windows takes",
     .args = x + L"wav",
     .does = {Click{Command1}},
     .runs = {L"lame.exe -h  " + x + L"wav " + x + L"mp3"}},
    {.why = "a command too long for Windows is refused whole",
     .args = x + L"wav",
     .does = {Click{CustomCh}, Click{DisableFiltering}, Click{Command1}},
     .box = L"Error 206: "},
    {.why = "a screen reader hears the sliders before the window was ever active"},
    {.why = "files chosen in the dialogs, the MP3's type added to a name without it",
     .args = L"",
     .does = {Click{BrowBut1}, Choose{song}, Click{BrowBut2}, Choose{L"<dir>\\out put"},
              Click{Command1}},
     .runs = {L"lame.exe -h  \"" + song + L"\" \"<dir>\\out put.mp3\""}},
    {.why = "an existing file is kept when the person says no; cancelling changes nothing",
     .does = {Click{BrowBut2}, Choose{old, IDNO}, Click{BrowBut1}, Choose{L""}, Click{BrowBut2},
              Choose{L""}, Click{Command1}},
     .runs = {plain}},
    {.why = "an existing file is replaced when the person says yes",
     .does = {Click{BrowBut2}, Choose{old, IDYES}, Click{Command1}},
     .runs = {L"lame.exe -h  C:\\a.wav \"" + old + L"\""}},
    {.why = "no encoder: Start Encoding says where Sorvane looked; Info opens in its folder",
     .does = {Click{Command1}, Click{Command2}},
     .runs = {usage + alone},
     .box = L"lame.exe|" + alone + L"|Windows|PATH|start it again|Error 2: ",
     .path = alone},
    {.why = "an encoder that cannot start: the box names it and Windows' reason",
     .does = {Click{Command1}},
     .box = L"<dir>\\lame.exe",
     .path = L"<dir>"},
    {.why = "never the current folder; Info beside the real encoder a link stands for",
     .does = {Click{Command1}, Click{Command2}},
     .runs = {plain, usage + kBin},
     .path = L";.;" + kBin + L"\\linked"},
    {.why = "a quoted PATH folder; Info beside the real encoder a Scoop shim names",
     .does = {Click{Command1}, Click{Command2}},
     .runs = {plain, usage + kBin + L"\\лейм"},
     .path = L"\"" + kBin + L"\\shims\""},
};

class Window : public testing::TestWithParam<Case> {};
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.why;
}

// Runs a case on a fresh Sorvane.exe in its folder. Each encoder's start beeps once; no handle to a
// started program is kept; a box is the window's own error box, no insert (%1) unfilled; after a
// dialog or a box the focus is back on the button that opened it; Alt+F4 ends the program.
TEST_P(Window, DoesWhatAPersonAsks) {
    const Case& c = GetParam();
    static int count = 0;
    const auto folder = (std::filesystem::temp_directory_path() / L"Sorvane тест ").wstring() +
                        std::to_wstring(++count);
    const auto expand = [&](std::wstring text) {
        for (std::size_t at; (at = text.find(L"<dir>")) != text.npos;) {
            text.replace(at, 5, folder);
        }
        return text;
    };
    std::filesystem::remove_all(folder); // left by an earlier case
    MakeFile(folder + L"\\lame.exe");
    SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", folder.c_str());
    std::wstring saved(32767, L'\0');
    saved.resize(GetEnvironmentVariableW(L"PATH", saved.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (expand(c.path) + L";" + saved).c_str());
    std::wstring line = L"\"" + (c.path.empty() ? kBin : alone) + L"\\Sorvane.exe\" " + c.args;
    STARTUPINFOW startup{sizeof(STARTUPINFOW)};
    startup.dwFlags = STARTF_USESHOWWINDOW; // as a shortcut set to "Run: Minimized" starts it
    startup.wShowWindow = static_cast<WORD>(c.does.empty() ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    PROCESS_INFORMATION info{};
    const std::size_t beeps = Beeps();
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &info));
    SetEnvironmentVariableW(L"PATH", saved.c_str());
    CloseHandle(info.hThread);
    HWND window = nullptr; // its own: one of a program that has just ended may not be gone yet
    EXPECT_TRUE(WaitUntil(
        [&] {
            DWORD owner = 0;
            window = FindWindowExW(nullptr, window, SORVANE_WINDOW_CLASS, nullptr);
            GetWindowThreadProcessId(window, &owner);
            return owner == info.dwProcessId && IsWindowVisible(window);
        },
        10000));
    EXPECT_EQ(IsIconic(window) != FALSE, c.does.empty());
    const auto front = [&] { // asked again until it is: what else comes may take the front
        WaitUntil([&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; });
    };
    std::vector<std::wstring> records;
    const auto read = [&] { // the started programs' records so far
        std::ifstream file(std::filesystem::path(folder + L"\\records"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        records.clear();
        for (std::size_t at = 0, end; (end = text.find(L'\f', at)) != text.npos; at = end + 1) {
            records.push_back(text.substr(at, end - at));
        }
        return records.size();
    };
    // A box of the window: its text; its caption, one button, "OK", Windows' error icon as it
    // draws by itself; once it is closed, the focus where it was.
    std::wstring said;
    int acting = 0; // the control last clicked; a dialog or box it opens gives the focus back

    const auto closeBox = [&] {
        HWND box = GetLastActivePopup(window);
        said += Text(GetDlgItem(box, 0xFFFF)); // its text, static 0xFFFF
        EXPECT_FALSE(IsWindowEnabled(window)) << "the box is not the window's own";
        EXPECT_EQ(Text(box) + L"|" + Text(GetDlgItem(box, IDOK)) +
                      (GetDlgItem(box, IDCANCEL) ? L"|Cancel" : L""),
                  L"Sorvane MP3 Encoder Interface|OK");
        RECT icon{}; // its static 20, or 1088 in Wine
        GetWindowRect(GetDlgItem(box, 20) ? GetDlgItem(box, 20) : GetDlgItem(box, 1088), &icon);
        RECT own{0, 0, icon.right - icon.left, icon.bottom - icon.top};
        HWND model = CreateWindowExW(WS_EX_NOACTIVATE, L"Static", L"#32513", // IDI_ERROR
                                     WS_POPUP | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, 0, 0,
                                     own.right, own.bottom, nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(model);
        const std::vector<DWORD> drawn = Pixels(model, own); // once the box has drawn itself
        EXPECT_TRUE(WaitUntil([&] { return Pixels(nullptr, icon) == drawn; }) && !drawn.empty())
            << "not the error icon";
        DestroyWindow(model);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && Focus(window) == acting; }))
            << "the focus is on " << Focus(window) << " after the box";
    };
    // The steps end where the window does, or at a control that a person could not click.
    for (std::size_t k = 0; k < c.does.size() && IsWindow(window) && !HasFailure(); ++k) {
        const Step& step = c.does[k];
        const std::size_t started = read();
        front();
        if (const auto* choose = std::get_if<Choose>(&step)) {
            ChooseIn(window, acting == BrowBut1, expand(choose->file), choose->answer);
            EXPECT_TRUE(WaitUntil([&] { return Focus(window) == acting; }))
                << "the focus is on " << Focus(window) << " after the dialog";
        } else if (const auto* click = std::get_if<Click>(&step)) {
            HWND control = GetDlgItem(window, acting = click->control);
            if (!WaitUntil([&] { return IsWindowEnabled(control) && IsWindowVisible(control); })) {
                ADD_FAILURE() << acting << " is out of reach";
            }
            // Handled after what was sent before it, even while a box waits.
            SendNotifyMessageW(control, BM_CLICK, 0, 0);
            // A started program comes to the front, or a box says why not, before the next step.
            if (acting == Command1 || acting == Command2) {
                WaitUntil([&] { return read() > started || GetLastActivePopup(window) != window; },
                          15000);
                if (GetLastActivePopup(window) != window) {
                    closeBox();
                }
            }
        } else {
            SendKeys(step);
        }
    }

    // What keys started comes in its time: the window handles them one by one.
    WaitUntil([&] { return read() >= c.runs.size(); }, HasFailure() ? 0 : 15000);
    std::vector<std::wstring> expected;
    for (const std::wstring& command : c.runs) {
        expected.push_back(expand(command +
                                  (command.find(L'\n') == command.npos ? L"\n<dir>" : L"") +
                                  L"\nconsole shown in front"));
    }
    for (std::wstring& record : records) { // its process id last: once it has ended, it is gone
        const DWORD id = std::stoul(record.substr(record.rfind(L'\n') + 1));
        record.resize(record.rfind(L'\n'));
        EXPECT_TRUE(WaitUntil([id] { return !CloseHandle(OpenProcess(SYNCHRONIZE, 0, id)); }))
            << "a handle to process " << id << " is kept";
    }
    std::sort(records.begin(), records.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(records, expected);
    const auto encoders = std::count_if(c.runs.begin(), c.runs.end(),
                                        [](auto& s) { return s.rfind(L"lame.exe", 0) == 0; });
    EXPECT_TRUE(WaitUntil([&] { return Beeps() - beeps >= static_cast<std::size_t>(encoders); }));
    EXPECT_EQ(Beeps() - beeps, static_cast<std::size_t>(encoders));
    const std::wstring says = expand(c.box);
    for (std::size_t at = 0, end = 0; end < says.size(); at = end + 1) {
        end = std::min(says.find(L'|', at), says.size());
        EXPECT_NE(said.find(says.substr(at, end - at)), said.npos) << said;
    }
    EXPECT_EQ(said.empty(), says.empty()) << said;
    EXPECT_EQ(said.find(L'%'), said.npos) << "an insert of Windows' message left unfilled";
    if (c.does.empty()) { // a screen reader's objects come from another process, COM and all
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(Heard(GetDlgItem(window, Slider1)),
                  L"Quality: Highest quality, very slow, level 0");
    }
    for (int k = 0; k < 3 && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; ++k) {
        front(); // again if a console that went away took the front from it
        SendKeys(Press{VK_F4, 1, VK_MENU});
        WaitForSingleObject(info.hProcess, 2000);
    }
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_OBJECT_0) << "closing did not end it";
    TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
}

// Each case reported on its own, by its purpose.
INSTANTIATE_TEST_SUITE_P(Case, Window, testing::ValuesIn(kCases), [](const auto& test) {
    std::string name = test.param.why;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
});

} // namespace
