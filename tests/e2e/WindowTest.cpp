// The real Sorvane.exe driven from another process, as a person would, for what only that shows:
// what stand-ins for lame.exe and notepad.exe receive, beeps, the file dialogs and the focus after
// each, a screen reader asking from outside, and closing the window.
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

// The folder of Sorvane.exe and the stand-ins; and each case's own, the current one, holding the
// stand-ins' records and a lame.exe that must never run.
const std::wstring kBin = [] {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    return path.substr(0, path.find_last_of(L'\\'));
}();
const std::wstring kDir = (std::filesystem::temp_directory_path() / L"Sorvane тест").wstring();

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
// records (its command line, then its folder unless the case's own); folders put before PATH,
// with which Sorvane runs alone, with no encoder beside it. A case that does nothing starts
// Sorvane minimized, never active.
struct Case {
    const char* why;
    std::wstring args = L"C:\\a.wav";
    std::vector<Step> does;
    std::vector<std::wstring> runs;
    std::wstring path;
};

const std::wstring plain = L"lame.exe -h  C:\\a.wav C:\\a.mp3", usage = L"notepad.exe USAGE\n";
const std::wstring song = kDir + L"\\Мои записи\\концерт 1.wav", old = kDir + L"\\old.mp3";
const std::wstring alone = kBin + L"\\alone";
const Case kCases[] = {
    {.why = "a screen reader hears the sliders before the window was ever active"},
    {.why = "files chosen in the dialogs, the MP3's type added to a name without it",
     .args = L"",
     .does = {Click{BrowBut1}, Choose{song}, Click{BrowBut2}, Choose{kDir + L"\\out put"},
              Click{Command1}},
     .runs = {L"lame.exe -h  \"" + song + L"\" \"" + kDir + L"\\out put.mp3\""}},
    {.why = "a file is replaced only when the person says yes; cancelling changes nothing",
     .does = {Click{BrowBut2}, Choose{old, IDNO}, Click{BrowBut1}, Choose{L""}, Click{BrowBut2},
              Choose{old, IDYES}, Click{Command1}},
     .runs = {L"lame.exe -h  C:\\a.wav \"" + old + L"\""}},
    {.why = "with no encoder, Info opens Notepad in Sorvane's folder",
     .does = {Click{Command2}},
     .runs = {usage + alone},
     .path = alone},
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

// A case on a fresh Sorvane.exe. Each encoder's start beeps once; no handle to a started program
// is kept; after a dialog the focus is back on the button that opened it; Alt+F4 ends the program.
TEST_P(Window, DoesWhatAPersonAsks) {
    const Case& c = GetParam();
    std::filesystem::remove_all(kDir); // and what an earlier case left
    MakeFile(kDir + L"\\lame.exe");
    SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", kDir.c_str());
    std::wstring path(32767, L'\0'), line = L"\"" + (c.path.empty() ? kBin : alone);
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (c.path + L";" + path).c_str());
    line += L"\\Sorvane.exe\" " + c.args;
    STARTUPINFOW startup{sizeof(STARTUPINFOW)};
    startup.dwFlags = STARTF_USESHOWWINDOW; // as a shortcut set to "Run: Minimized" starts it
    startup.wShowWindow = static_cast<WORD>(c.does.empty() ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    PROCESS_INFORMATION info{};
    const std::size_t beeps = Beeps();
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               kDir.c_str(), &startup, &info));
    SetEnvironmentVariableW(L"PATH", path.c_str());
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
    const auto read = [&] { // the started programs' records so far, each ended by a form feed
        std::ifstream file(std::filesystem::path(kDir + L"\\records"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        records.clear();
        for (std::size_t at = 0, end; (end = text.find(L'\f', at)) != text.npos; at = end + 1) {
            records.push_back(text.substr(at, end - at));
        }
        return records.size();
    };
    int clicked = 0;
    for (std::size_t k = 0; k < c.does.size() && !HasFailure(); ++k) {
        const std::size_t started = read();
        front();
        if (const auto* choose = std::get_if<Choose>(&c.does[k])) {
            ChooseIn(window, clicked == BrowBut1, choose->file, choose->answer);
            GUITHREADINFO focus{sizeof(focus)};
            EXPECT_TRUE(WaitUntil([&] {
                return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &focus) &&
                       GetDlgCtrlID(focus.hwndFocus) == clicked;
            })) << "after the dialog, not on the button that opened it";
        } else if (const auto* click = std::get_if<Click>(&c.does[k])) {
            // Handled after what was sent before it, even while a dialog waits.
            SendNotifyMessageW(GetDlgItem(window, clicked = click->control), BM_CLICK, 0, 0);
        }
        // A program started comes to the front before the next step, and no box says it did not.
        const auto box = [&] { return GetLastActivePopup(window) != window; };
        WaitUntil([&] { return read() > started || box(); },
                  clicked == Command1 || clicked == Command2 ? 15000 : 0);
        EXPECT_FALSE(box()) << Text(GetDlgItem(GetLastActivePopup(window), 0xFFFF));
    }
    for (std::wstring& record : records) { // its process id last: once it has ended, it is gone
        const DWORD id = std::stoul(record.substr(record.rfind(L'\n') + 1));
        record.resize(record.rfind(L'\n'));
        EXPECT_TRUE(WaitUntil([id] { return !CloseHandle(OpenProcess(SYNCHRONIZE, 0, id)); }))
            << "a handle to process " << id << " is kept";
    }
    std::vector<std::wstring> expected;
    for (const std::wstring& command : c.runs) {
        const bool folder = command.find(L'\n') != command.npos;
        expected.push_back(command + (folder ? L"" : L"\n" + kDir) + L"\nconsole shown in front");
    }
    std::sort(records.begin(), records.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(records, expected);
    const auto encoders = std::count_if(c.runs.begin(), c.runs.end(),
                                        [](auto& run) { return run.rfind(L"lame.exe", 0) == 0; });
    EXPECT_TRUE(WaitUntil([&] { return Beeps() - beeps >= static_cast<std::size_t>(encoders); }));
    EXPECT_EQ(Beeps() - beeps, static_cast<std::size_t>(encoders));
    if (c.does.empty()) { // a screen reader's objects come from another process, COM and all
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(Heard(GetDlgItem(window, Slider1)),
                  L"Quality: slider Highest quality, very slow, level 0");
    }
    // Pressed again while the window is there: a console that went away may have taken the front.
    for (int k = 0; k < 3 && IsWindow(window) && WaitForSingleObject(info.hProcess, 0) != 0; ++k) {
        front();
        SendKeys(Press{VK_F4, 1, VK_MENU});
        WaitForSingleObject(info.hProcess, 2000);
    }
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_OBJECT_0) << "closing did not end it";
    TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
}

// Each case reported on its own, by why it is there.
INSTANTIATE_TEST_SUITE_P(Case, Window, testing::ValuesIn(kCases), [](const auto& test) {
    std::string name = test.param.why;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
});

} // namespace
