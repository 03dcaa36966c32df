// Drives the real Sorvane.exe from this process, as a person would, for what only another process
// shows: what the stand-ins for lame.exe and notepad.exe receive (the command line, the folder
// they start in, a normal window and a console of their own), the beeps, the file dialogs and the
// message boxes, what a screen reader reads, and that Sorvane holds nothing of what it started.
#include "ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

// By WM_GETTEXT, as GetWindowText does not ask a control of another process.
std::wstring Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), 0);
    SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

// The folder of Sorvane.exe and the stand-ins, and of the folders the build makes beside them.
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

bool Failed() {
    return testing::UnitTest::GetInstance()->current_test_info()->result()->Failed();
}

// One running Sorvane.exe, started in a fresh folder of its own, which takes the stand-ins'
// records and holds a file named lame.exe that must never be run. Sorvane.exe runs from the
// folder of the stand-ins, or with `alone` from one without an encoder; `path` goes before PATH.
class App {
  public:
    explicit App(const std::wstring& argument, bool alone = false, const std::wstring& path = {}) {
        static int count = 0;
        folder_ = (std::filesystem::temp_directory_path() /
                   (L"Sorvane тест " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++count)))
                      .wstring();
        std::filesystem::remove_all(folder_); // left by an earlier run whose process id this is
        MakeFile(folder_ + L"\\lame.exe");
        SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", folder_.c_str());
        std::wstring saved(32767, L'\0');
        saved.resize(GetEnvironmentVariableW(L"PATH", saved.data(), 32767));
        SetEnvironmentVariableW(L"PATH", (Expand(path) + L";" + saved).c_str());
        std::wstring line =
            L"\"" + Bin() + (alone ? L"\\alone" : L"") + L"\\Sorvane.exe\" " + argument;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder_.c_str(), &startup, &info));
        SetEnvironmentVariableW(L"PATH", saved.c_str());
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        // Its own window: one of a program that has just ended may not be gone yet.
        EXPECT_TRUE(WaitUntil(
            [&] {
                DWORD owner = 0;
                window_ = FindWindowExW(nullptr, window_, SORVANE_WINDOW_CLASS, nullptr);
                GetWindowThreadProcessId(window_, &owner);
                return owner == info.dwProcessId && IsWindowVisible(window_);
            },
            10000))
            << "the window did not open";
    }
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App() {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process_, 5000), WAIT_OBJECT_0) << "closing did not end it";
        TerminateProcess(process_, 1);
        CloseHandle(process_);
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    // "<dir>" stands for the folder of its own.
    std::wstring Expand(std::wstring text) const {
        for (std::size_t at; (at = text.find(L"<dir>")) != text.npos;) {
            text.replace(at, 5, folder_);
        }
        return text;
    }

    // In the active window, as a person does: a control clicked, or a key (below 100) pressed. A
    // click is sent, not posted, so that it is handled after what was sent before it, even while
    // a box of the window waits; keys go through the system's input queue.
    void Press(int id) const {
        SetForegroundWindow(window_);
        WaitUntil([&] { return GetForegroundWindow() == window_; });
        if (id < 100) {
            keybd_event(static_cast<BYTE>(id), 0, 0, 0);
            keybd_event(static_cast<BYTE>(id), 0, KEYEVENTF_KEYUP, 0);
        } else {
            SendNotifyMessageW(Item(id), BM_CLICK, 0, 0);
        }
    }
    // The dialog or box of the window once it shows.
    HWND Popup() const {
        HWND popup = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (popup = GetLastActivePopup(window_)) != window_; }))
            << "no dialog or box came";
        return popup;
    }

    // What the stand-ins received (see StandIn.cpp), once as many as expected have come or a box
    // shows, in order; each stand-in and its console (which could take keys) ended, and Sorvane
    // holds no handle to it.
    std::vector<std::wstring> Started(std::size_t expected) const {
        std::vector<std::wstring> records;
        // Wine's console host, which each start makes, now and then takes seconds to come.
        WaitUntil(
            [&] {
                std::ifstream file(std::filesystem::path(folder_ + L"\\records"), std::ios::binary);
                const std::string bytes{std::istreambuf_iterator<char>(file), {}};
                const std::wstring all(reinterpret_cast<const wchar_t*>(bytes.data()),
                                       bytes.size() / 2);
                records.clear();
                for (std::size_t at = 0, end; (end = all.find(L'\f', at)) != all.npos;
                     at = end + 1) {
                    records.push_back(all.substr(at, end - at));
                }
                return records.size() >= expected || GetLastActivePopup(window_) != window_;
            },
            15000);
        for (std::wstring& record : records) {
            const DWORD id = std::stoul(record.substr(record.rfind(L'\n') + 1));
            record.resize(record.rfind(L'\n'));
            HANDLE standIn = OpenProcess(SYNCHRONIZE, FALSE, id);
            EXPECT_NE(WaitForSingleObject(standIn, 10000), WAIT_TIMEOUT);
            CloseHandle(standIn);
            for (ULONG_PTR value = 4; value < 16384; value += 4) {
                HANDLE copy = nullptr;
                if (DuplicateHandle(process_, reinterpret_cast<HANDLE>(value), GetCurrentProcess(),
                                    &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
                    EXPECT_NE(GetProcessId(copy) + GetProcessIdOfThread(copy), id) << value;
                    CloseHandle(copy);
                }
            }
        }
        std::sort(records.begin(), records.end());
        return records;
    }

    // The window's box (awaited when one is expected) and what it says, once it is closed by OK;
    // empty when none shows.
    std::wstring Said(bool expected) const {
        if (!expected && GetLastActivePopup(window_) == window_) {
            return {};
        }
        HWND box = Popup();
        const std::wstring said = Text(GetDlgItem(box, 0xFFFF)); // its text, static 0xFFFF
        EXPECT_FALSE(IsWindowEnabled(window_)) << "the box is not the window's own";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(window_); }));
        return said;
    }

    const std::size_t beeps = Beeps(); // before this program started

  private:
    std::wstring folder_;
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

// What the stand-ins receive, in any order: each command line, and after a line break the folder
// it starts in, unless that is Sorvane's current one; each encoder's start beeps once.
void ExpectStarted(const App& app, std::vector<std::wstring> commands) {
    std::size_t encoders = 0;
    for (std::wstring& command : commands) {
        encoders += command.rfind(L"lame.exe", 0) == 0;
        command = app.Expand(command + (command.find(L'\n') == command.npos ? L"\n<dir>" : L"")) +
                  L"\n1\n1";
    }
    std::sort(commands.begin(), commands.end());
    EXPECT_EQ(app.Started(commands.size()), commands);
    EXPECT_TRUE(WaitUntil([&] { return Beeps() - app.beeps >= encoders; }));
    EXPECT_EQ(Beeps() - app.beeps, encoders);
}

// The start-up text, what is typed into "Additional Options:", the controls clicked (or keys
// pressed); then what the stand-ins receive, and what a box of the window says (each '|' part,
// and no unfilled %). `alone` and `path` say where Sorvane.exe runs, as for App.
struct Case {
    std::wstring argument, typed;
    std::vector<int> does;
    std::vector<std::wstring> started;
    std::wstring says;
    bool alone = false;
    std::wstring path;
};

TEST(Window, StartsTheEncoderOrSaysWhyNot) {
    const std::wstring x(32766 - 30, L'x'); // makes the longest command Windows takes
    const std::wstring odd = L"C:\\a\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.wa";
    const std::wstring oddQuoted = L"C:\\a\\\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.wa";
    const std::wstring bin = Bin(), plain = L"lame.exe -h  C:\\a.wav C:\\a.mp3";
    const std::wstring all = L"lame.exe  -q 0 -b 128 -k  C:\\a.wav C:\\a.mp3";
    const Case cases[] = {
        {L"C:\\a.wav", L"", {Command1}, {plain}},
        {L"C:\\a.wav", L"", {CustomCh, Command1}, {L"lame.exe   C:\\a.wav C:\\a.mp3"}},
        {L"C:\\a.wav",
         L"",
         {CustomCh, EnableQual, EnableBitrate, DisableFiltering, Command1, Command1},
         {all, all}},
        {L"C:\\a.wav", L"", {VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, {plain}},
        {L"C:\\a.wav", L"", {Command2}, {L"notepad.exe USAGE\n" + bin}},
        // The start-up text is the input path (the first argument when quoted); blanks are quoted.
        {L"\"C:\\My Music\\a.wav\" /extra",
         L"",
         {Command1},
         {L"lame.exe -h  \"C:\\My Music\\a.wav\" \"C:\\My Music\\a.mp3\""}},
        {odd + L"v  ",
         L"--ta \"A & B\" ^%PATH%!",
         {Command1},
         {L"lame.exe -h --ta \"A & B\" ^%PATH%! \"" + oddQuoted + L"v  \" \"" + oddQuoted +
          L"mp3\""}},
        // A command too long for Windows is refused whole.
        {L"C:\\a.wav", x, {Command1}, {L"lame.exe -h " + x + L" C:\\a.wav C:\\a.mp3"}},
        {L"C:\\a.wav", x + L"x", {Command1}, {}, L"Error 206: "},
        // The encoder is looked for in Sorvane's folder, Windows' and PATH, never the current
        // one; Info starts beside it (or the real one its symbolic link or Scoop shim stands
        // for), else in Sorvane's folder; a quoted PATH entry is searched.
        {L"C:\\a.wav",
         L"",
         {Command1},
         {},
         L"lame.exe|" + bin + L"\\alone|Windows|PATH|start it again|Error 2: ",
         true},
        {L"C:\\a.wav", L"", {Command2}, {L"notepad.exe USAGE\n" + bin + L"\\alone"}, L"", true},
        {L"C:\\a.wav", L"", {Command1}, {}, L"<dir>\\lame.exe", true, L"<dir>"},
        {L"C:\\a.wav",
         L"",
         {Command1, Command2},
         {plain, L"notepad.exe USAGE\n" + bin},
         L"",
         true,
         L";.;" + bin + L"\\linked"},
        {L"C:\\a.wav",
         L"",
         {Command1, Command2},
         {plain, L"notepad.exe USAGE\n" + bin + L"\\лейм"},
         L"",
         true,
         L"\"" + bin + L"\\shims\""},
    };
    // The cases stop at the first failure, which the trace names.
    for (std::size_t k = 0; k < std::size(cases) && !Failed(); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(testing::Message() << "case " << k + 1 << ", " << c.argument.substr(0, 40));
        const App app(c.argument, c.alone, c.path);
        SendMessageW(app.Item(Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed.c_str()));
        for (const int id : c.does) {
            app.Press(id);
        }
        ExpectStarted(app, c.started);
        const std::wstring says = app.Expand(c.says), said = app.Said(!says.empty());
        for (std::size_t at = 0, end = 0; end < says.size(); at = end + 1) {
            end = std::min(says.find(L'|', at), says.size());
            EXPECT_NE(said.find(says.substr(at, end - at)), said.npos) << said;
        }
        EXPECT_EQ(said.empty(), says.empty()) << said;
        EXPECT_EQ(said.find(L'%'), said.npos) << said;
    }
}

// The start-up text, then each "Browse..." button with the file its dialog is given (none:
// Cancel) and the answer to its question before a file is replaced; then the command that
// "Start Encoding" starts. Each dialog offers its file type and lists only such files.
struct Browse {
    int button;
    std::wstring file;
    int replace = 0;
};

TEST(Window, ChoosesFilesInDialogs) {
    const std::pair<std::wstring, std::vector<Browse>> cases[] = {
        {L"", {{BrowBut1, L"<dir>\\Мои записи\\концерт 1.wav"}, {BrowBut2, L"<dir>\\out put"}}},
        {L"C:\\a.wav", {{BrowBut2, L"<dir>\\old.mp3", IDNO}, {BrowBut1, L""}, {BrowBut2, L""}}},
        {L"C:\\a.wav", {{BrowBut2, L"<dir>\\old.mp3", IDYES}}},
        {L"C:\\a.wav", {{BrowBut2, L"<dir>\\b.mp3"}, {BrowBut1, L"<dir>\\c.wav"}}},
    };
    const std::wstring commands[] = {
        L"lame.exe -h  \"<dir>\\Мои записи\\концерт 1.wav\" \"<dir>\\out put.mp3\"",
        L"lame.exe -h  C:\\a.wav C:\\a.mp3",
        L"lame.exe -h  C:\\a.wav \"<dir>\\old.mp3\"",
        L"lame.exe -h  \"<dir>\\c.wav\" \"<dir>\\c.mp3\"",
    };
    for (std::size_t k = 0; k < std::size(cases) && !Failed(); ++k) {
        SCOPED_TRACE(testing::Message() << "case " << k + 1);
        const App app(cases[k].first);
        for (const Browse& step : cases[k].second) {
            const std::wstring file = app.Expand(step.file), types = app.Expand(L"<dir>\\types");
            for (const wchar_t* name : {L"\\a.wav", L"\\b.mp3", L"\\c.txt"}) {
                MakeFile(types + name);
            }
            if ((step.button == BrowBut1 && !file.empty()) || step.replace != 0) {
                MakeFile(file); // the open dialog wants a file; the save dialog finds one
            }
            app.Press(step.button);
            HWND dialog = app.Popup();
            const auto give = [&](const std::wstring& name) { // in edt1, or cmb13
                HWND box = GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480)
                                                     : GetDlgItem(dialog, 0x47c);
                SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
                PostMessageW(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
            };
            give(types); // OK on a folder opens it: the file type box (cmb1) and the list
            EXPECT_EQ(Text(GetDlgItem(dialog, 0x470)),
                      step.button == BrowBut1 ? L"Wave files" : L"MP3 Files");
            EXPECT_TRUE(WaitUntil([&] {
                HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
                view = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
                return view && SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 1;
            }));
            give(file);
            if (step.replace != 0) { // the dialog asks, in a box of its own, before replacing
                HWND ask = nullptr;
                EXPECT_TRUE(WaitUntil([&] {
                    return GetWindow(ask = GetLastActivePopup(dialog), GW_OWNER) == dialog;
                }));
                PostMessageW(ask, WM_COMMAND, static_cast<WPARAM>(step.replace), 0);
                EXPECT_TRUE(WaitUntil([&] { return !IsWindow(ask); }));
                if (step.replace == IDNO) {
                    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                }
            }
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << file;
        }
        app.Press(Command1);
        ExpectStarted(app, {commands[k]});
    }
}

// A screen reader, asking from another process, hears each slider named by its label, with the
// setting in the words shown beside it, wherever the slider has moved.
TEST(Window, ScreenReaderHearsEachSliderInWords) {
    const App app(L"");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const auto& [id, position, heard] :
         {std::tuple{Slider1, 9, L"Quality:|Poor quality, very fast"},
          {Slider2, 0, L"Bitrate:|32 kbps"}}) {
        SendMessageW(app.Item(id), TBM_SETPOS, TRUE, position);
        const IID iid{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0, 0xAA, 0, 0x38, 0x9B, 0x71}};
        IAccessible* object = nullptr;
        ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(app.Item(id),
                                                            static_cast<DWORD>(OBJID_CLIENT), iid,
                                                            reinterpret_cast<void**>(&object)));
        VARIANT self{}, role{};
        self.vt = VT_I4; // CHILDID_SELF
        BSTR name = nullptr, value = nullptr;
        object->get_accName(self, &name);
        object->get_accValue(self, &value);
        object->get_accRole(self, &role);
        object->Release();
        EXPECT_EQ(std::wstring(name ? name : L"") + L"|" + (value ? value : L""), heard);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_SLIDER);
        SysFreeString(name);
        SysFreeString(value);
    }
}

} // namespace
