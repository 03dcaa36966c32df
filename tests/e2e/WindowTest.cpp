// Drives the real Sorvane.exe from another process, as a person would, for what only that shows:
// what stand-ins for lame.exe and notepad.exe receive, beeps, dialogs, boxes, a screen reader.
#include "ControlIds.h"
#include "Seen.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
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
std::wstring Bin() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    return path.substr(0, path.find_last_of(L'\\'));
}

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

// The dialog a "Browse..." button opened lists only files of its type; it is given a file (none:
// Cancel) and, when asked before the file is replaced, the answer.
void Choose(HWND window, bool open, const std::wstring& file, int answer) {
    HWND dialog = nullptr, ask = nullptr, box = nullptr; // its name: edt1, or cmb13
    EXPECT_TRUE(WaitUntil([&] { return (dialog = GetLastActivePopup(window)) != window; }));
    box = GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480) : GetDlgItem(dialog, 0x47c);
    const auto give = [&](const std::wstring& name) {
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
    };
    give(Bin() + L"\\types"); // OK on a folder opens it and empties the name: one file of a type
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

// What a screen reader hears of each control whose own text says little: its name, of a slider
// its value.
std::wstring Heard(HWND window) {
    std::wstring heard;
    for (const int id :
         {InputFileTxt, OutputFileTxt, Text1, Slider1, Slider2, EnableQual, EnableBitrate}) {
        IAccessible* object = nullptr;
        VARIANT self{}, role{};
        self.vt = VT_I4; // CHILDID_SELF
        BSTR said[2] = {};
        if (SUCCEEDED(AccessibleObjectFromWindow(
                GetDlgItem(window, id), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                reinterpret_cast<void**>(&object)))) {
            object->get_accName(self, &said[0]);
            object->get_accRole(self, &role); // the value only of a slider:
            role.lVal == ROLE_SYSTEM_SLIDER ? object->get_accValue(self, &said[1]) : S_OK;
            object->Release();
        }
        for (BSTR text : said) {
            heard += text != nullptr ? std::wstring(text) + L"|" : L"";
            SysFreeString(text);
        }
    }
    return heard;
}

// A case: the start-up text; controls clicked or keys (below 100) pressed, each "Browse..." given
// the next of `files`, then an answer (IDYES, IDNO) if asked; what the stand-ins get (command line,
// then the folder unless Sorvane's); what a box says (each '|' part). With a `path`, Sorvane runs
// without an encoder, `path` before PATH. A case doing nothing starts it minimized, unactivated.
struct Case {
    std::wstring argument;
    std::vector<int> does;
    std::vector<std::wstring> started;
    std::wstring says, path;
    std::vector<std::wstring> files;
};

// Runs a case on a fresh Sorvane.exe in a folder ("<dir>") with a lame.exe never to run. Each
// encoder's start beeps once; no handle to a stand-in is kept; a box is the window's error box, no
// insert (%1) unfilled; a screen reader hears each control's name, of a slider its setting in the
// words beside it (and the quality level, as two levels share their words). Alt+F4 ends it.
void Play(const Case& c) {
    static int count = 0;
    const auto folder = (std::filesystem::temp_directory_path() / L"Sorvane тест ").wstring() +
                        std::to_wstring(++count);
    const auto expand = [&](std::wstring text) {
        for (std::size_t at; (at = text.find(L"<dir>")) != text.npos;) {
            text.replace(at, 5, folder);
        }
        return text;
    };
    std::filesystem::remove_all(folder); // left by an earlier run
    MakeFile(folder + L"\\lame.exe");
    SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", folder.c_str());
    std::wstring saved(32767, L'\0');
    saved.resize(GetEnvironmentVariableW(L"PATH", saved.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (expand(c.path) + L";" + saved).c_str());
    std::wstring line =
        L"\"" + Bin() + (c.path.empty() ? L"" : L"\\alone") + L"\\Sorvane.exe\" " + c.argument;
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
    std::vector<std::wstring> expected, records;
    const auto read = [&] { // the stand-ins' records so far
        std::ifstream file(std::filesystem::path(folder + L"\\records"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const std::wstring all(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        records.clear();
        for (std::size_t at = 0, end; (end = all.find(L'\f', at)) != all.npos; at = end + 1) {
            records.push_back(all.substr(at, end - at));
        }
        return records.size();
    };
    // The steps end where the window does, or at a control that a person could not click.
    for (std::size_t k = 0, file = 0;
         k < c.does.size() && IsWindow(window) && !testing::Test::HasFailure(); ++k) {
        const int id = c.does[k], next = k + 1 < c.does.size() ? c.does[k + 1] : 0;
        const std::size_t started = read();
        HWND control = GetDlgItem(window, id);
        const auto reachable = [&] { return IsWindowEnabled(control) && IsWindowVisible(control); };
        front();
        if (id < 100 && id != IDYES && id != IDNO) { // through the system's input queue
            keybd_event(static_cast<BYTE>(id), 0, 0, 0);
            keybd_event(static_cast<BYTE>(id), 0, KEYEVENTF_KEYUP, 0);
        } else if (id >= 100 && !WaitUntil(reachable)) { // once the step before is handled
            ADD_FAILURE() << id << " is out of reach";
            break;
        } else if (id >= 100) { // handled after what was sent before it, even while a box waits
            SendNotifyMessageW(control, BM_CLICK, 0, 0);
        }
        if (id == BrowBut1 || id == BrowBut2) {
            Choose(window, id == BrowBut1, expand(c.files[file++]),
                   next == IDYES || next == IDNO ? next : 0);
        }
        // A started program comes to the front, or a box says why not, before the next step.
        if ((id == Command1 || id == Command2) && next != 0) {
            EXPECT_TRUE(WaitUntil(
                [&] { return read() > started || GetLastActivePopup(window) != window; }, 15000));
        }
    }

    std::size_t encoders = 0;
    for (const std::wstring& command : c.started) {
        encoders += command.rfind(L"lame.exe", 0) == 0;
        expected.push_back(expand(command +
                                  (command.find(L'\n') == command.npos ? L"\n<dir>" : L"") +
                                  L"\nconsole shown in front"));
    }
    // Wine's console host now and then takes seconds to come; a case that failed waits no more.
    const DWORD patience = testing::Test::HasFailure() ? 0 : 15000;
    WaitUntil([&] { return read() >= expected.size() || GetLastActivePopup(window) != window; },
              patience);
    for (std::wstring& record : records) { // its process id last: once it has ended, it is gone
        const DWORD id = std::stoul(record.substr(record.rfind(L'\n') + 1));
        record.resize(record.rfind(L'\n'));
        EXPECT_TRUE(WaitUntil([id] { return !CloseHandle(OpenProcess(SYNCHRONIZE, 0, id)); }))
            << "a handle to process " << id << " is kept";
    }
    std::sort(records.begin(), records.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(records, expected);
    EXPECT_TRUE(WaitUntil([&] { return Beeps() - beeps >= encoders; }, patience ? 5000 : 0));
    EXPECT_EQ(Beeps() - beeps, encoders);

    const std::wstring says = expand(c.says);
    std::wstring said;
    HWND box = nullptr;
    if (WaitUntil([&] { return (box = GetLastActivePopup(window)) != window; },
                  says.empty() ? 0 : 5000)) {
        said = Text(GetDlgItem(box, 0xFFFF)); // its text, static 0xFFFF
        EXPECT_FALSE(IsWindowEnabled(window)) << "the box is not the window's own";
        // Its caption, one button, "OK", and Windows' error icon as it draws by itself.
        EXPECT_EQ(Text(box) + L"|" + Text(GetDlgItem(box, IDOK)) +
                      (GetDlgItem(box, IDCANCEL) ? L"|Cancel" : L""),
                  L"Sorvane MP3 Encoder Interface|OK");
        RECT icon{}; // its static 20, or 1088 in Wine
        GetWindowRect(GetDlgItem(box, 20) ? GetDlgItem(box, 20) : GetDlgItem(box, 1088), &icon);
        RECT own{0, 0, icon.right - icon.left, icon.bottom - icon.top};
        HWND alone = CreateWindowExW(WS_EX_NOACTIVATE, L"Static", L"#32513", // IDI_ERROR
                                     WS_POPUP | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, 0, 0,
                                     own.right, own.bottom, nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(alone);
        const std::vector<DWORD> drawn = Pixels(alone, own); // once the box has drawn itself
        EXPECT_TRUE(WaitUntil([&] { return Pixels(nullptr, icon) == drawn; }) && !drawn.empty())
            << "not the error icon";
        DestroyWindow(alone);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(window); }));
    }
    for (std::size_t at = 0, end = 0; end < says.size(); at = end + 1) {
        end = std::min(says.find(L'|', at), says.size());
        EXPECT_NE(said.find(says.substr(at, end - at)), said.npos) << said;
    }
    EXPECT_EQ(said.empty(), says.empty()) << said;
    EXPECT_EQ(said.find(L'%'), said.npos) << "an insert of Windows' message left unfilled";

    const auto words = [&](int id) { return Text(GetDlgItem(window, id)); };
    EXPECT_EQ(Heard(window),
              L"Input:|Output:|Additional Options:|Quality:|" + words(QualityDesc) + L", level " +
                  std::to_wstring(SendMessageW(GetDlgItem(window, Slider1), TBM_GETPOS, 0, 0)) +
                  L"|Bitrate:|" + words(BitrateDesc) +
                  L"|Enable Noise shaping and psyco acoustic algorithms|Enable Constant bitrate "
                  L"settings|");
    for (int k = 0; k < 3 && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; ++k) {
        front(); // again if a console that went away took the front from it
        for (const int key : {VK_MENU, VK_F4, -VK_F4, -VK_MENU}) { // a minus: let go
            keybd_event(static_cast<BYTE>(std::abs(key)), 0, key < 0 ? KEYEVENTF_KEYUP : 0, 0);
        }
        WaitForSingleObject(info.hProcess, 2000);
    }
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_OBJECT_0) << "closing did not end it";
    TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
}

TEST(Window, StartsTheEncoderOrSaysWhyNot) {
    const std::wstring wav = L"C:\\a.wav", plain = L"lame.exe -h  C:\\a.wav C:\\a.mp3";
    const std::wstring all = L"lame.exe  -q 0 -b 128 -k  C:\\a.wav C:\\a.mp3";
    // Blanks, quotes and what a command shell would read; the longest command Windows takes.
    const std::wstring odd = L"C:\\a\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.";
    const std::wstring oddQuoted = L"\"C:\\a\\\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.";
    const std::wstring oddCommand =
        L"lame.exe -h  " + oddQuoted + L"wav  \" " + oddQuoted + L"wamp3\"";
    // A path that makes the longest command Windows takes; with " -k", one too long.
    const std::wstring x = L"C:\\" + std::wstring(16369, L'x') + L".";
    const std::wstring longest = L"lame.exe -h  " + x + L"wav " + x + L"mp3";
    const std::wstring song = L"<dir>\\Мои записи\\концерт 1.wav";
    const std::wstring old = L"<dir>\\old.mp3";
    const std::wstring chosen = L"lame.exe -h  \"" + song + L"\" \"<dir>\\out put.mp3\"";
    const std::wstring replaced = L"lame.exe -h  C:\\a.wav \"" + old + L"\"";
    const std::wstring bin = Bin(), alone = bin + L"\\alone", lame = bin + L"\\лейм";
    const std::wstring usage = L"notepad.exe USAGE\n";
    const std::wstring nowhere = L"lame.exe|" + alone + L"|Windows|PATH|start it again|Error 2: ";
    const Case cases[] = {
        {wav,
         {CustomCh, EnableQual, EnableBitrate, DisableFiltering, Command1, Command1},
         {all, all}},
        {wav, {VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, {plain}},
        {odd + L"wav  ", {Command1}, {oddCommand}},
        // A command too long for Windows is refused whole.
        {x + L"wav", {Command1}, {longest}},
        {x + L"wav", {CustomCh, DisableFiltering, Command1}, {}, L"Error 206: "},
        {wav, {}, {}}, // heard before the window was ever active
        // Files chosen in the dialogs; an existing file is replaced only when the person agrees.
        {L"", {BrowBut1, BrowBut2, Command1}, {chosen}, L"", L"", {song, L"<dir>\\out put"}},
        {wav, {BrowBut2, IDNO, BrowBut1, BrowBut2, Command1}, {plain}, L"", L"", {old, L"", L""}},
        {wav, {BrowBut2, IDYES, Command1}, {replaced}, L"", L"", {old}},
        // The encoder is looked for in Sorvane's folder, Windows' and PATH, never the current
        // one; Info starts beside it (or the real one its symbolic link or Scoop shim stands
        // for), else in Sorvane's folder; a quoted PATH entry is searched.
        {wav, {Command1}, {}, nowhere, alone},
        {wav, {Command2}, {usage + alone}, L"", alone},
        {wav, {Command1}, {}, L"<dir>\\lame.exe", L"<dir>"},
        {wav, {Command1, Command2}, {plain, usage + bin}, L"", L";.;" + bin + L"\\linked"},
        {wav, {Command1, Command2}, {plain, usage + lame}, L"", L"\"" + bin + L"\\shims\""},
    };
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the screen reader's objects
    // The cases stop at the first failure, which the trace names.
    for (std::size_t k = 0; k < std::size(cases) && !testing::Test::HasFailure(); ++k) {
        SCOPED_TRACE(testing::Message() << "case " << k + 1);
        Play(cases[k]);
    }
}

} // namespace
