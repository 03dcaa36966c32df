// Drives the real Sorvane.exe as a person would, by a table of scenarios: a start-up, then
// steps and what the window and the stand-ins for lame.exe and notepad.exe show and receive.
#include "ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
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
std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)), 0);
    SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

// Sorvane.exe and the stand-ins' folder (with a lone Sorvane.exe in "alone").
std::wstring BuildFolder() {
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

void MakeFile(const std::filesystem::path& path, const char* content = "") {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// Each control's name for a person and a screen reader (its caption, else the label before it)
// and, at the moments 0: opened or "Standard" chosen, 1: "Custom" chosen, 2: the three custom
// boxes checked, whether it is enabled, checked, and a stop of the Tab key.
struct Look {
    int id;
    const wchar_t* name;
    const char *enabled, *checked, *tab;
};
// clang-format off
const Look kLooks[] = { // in the order of the Tab key
    {Label1, L"Input:", "111", "", "000"},
    {Label2, L"Output:", "111", "", "000"},
    {InputFileTxt, L"Input:", "000", "", "000"},
    {OutputFileTxt, L"Output:", "000", "", "000"},
    {BrowBut1, L"Browse...", "111", "", "111"},
    {BrowBut2, L"Browse...", "111", "", "111"},
    {Frame1, L"Encoding Settings", "111", "", "000"},
    {StandardCh, L"Standard", "111", "100", "100"},
    {CustomCh, L"Custom", "111", "011", "011"},
    {Command1, L"Start Encoding", "111", "", "111"},
    {Label3, L"Additional Options:", "111", "", "000"},
    {Text1, L"Additional Options:", "111", "", "111"},
    {Frame2, L"Noise shaping and psyco acoustic algorithms", "011", "", "000"},
    {Label4, L"Quality:", "011", "", "000"},
    {Slider1, L"Quality:", "011", "", "011"},
    {QualityDesc, L"Highest quality, very slow", "011", "", "000"},
    {EnableQual, L"Enable", "011", "001", "011"},
    {Frame3, L"Misc", "011", "", "000"},
    {DisableFiltering, L"Disable all filtering", "011", "001", "011"},
    {Frame4, L"Constant bitrate settings", "011", "", "000"},
    {EnableBitrate, L"Enable", "011", "001", "011"},
    {Slider2, L"Bitrate:", "011", "", "011"},
    {BitrateDesc, L"128 kbps", "011", "", "000"},
    {Label6, L"Bitrate:", "011", "", "000"},
    {Command2, L"Info", "111", "", "111"},
};
// clang-format on

enum Op {
    State,   // id: every control is as kLooks has it at this moment
    Click,   // id: the control is clicked
    Key,     // id: this virtual key is pressed
    TabTo,   // id: Tab until this control has the focus
    Focus,   // id: the focus is on this control
    SetText, // id, text: the control's text is set
    Drag,    // id, value: the slider's thumb is dragged to this position
    Text,    // id, text: the control shows this text
    Launch,  // text: "Start Encoding" starts one more program with this command line
    Started, // text: one more program was started with this command line (in the current folder)
    Dialog,  // id, text: the button's dialog is given this file; value: IDYES/IDNO to replace it
    Filter,  // id, text: the button's dialog offers this file type, and shows only such files
    Message, // text: a box of the window shows, holding each '|' part and no unfilled %; OK
    Away,    // another window is activated, then Sorvane's window again
    Spoken,  // id, text "Name|Value": the slider's accessible object, asked for from this process
             // as a screen reader asks for it, is a slider of this name and value
    Plant,   // text: this file is made, of the UTF-8 of what follows a '|', else the stand-in's
};
const char* const kOps[] = {"State",   "Click", "Key",    "TabTo",   "Focus",  "SetText",
                            "Drag",    "Text",  "Launch", "Started", "Dialog", "Filter",
                            "Message", "Away",  "Spoken", "Plant"};

// In a step's text "<dir>" stands for a fresh folder of the scenario's own.
struct Step {
    Step(Op o, int i = 0, int v = 0) : op(o), id(i), value(v) {}
    Step(Op o, std::wstring t) : op(o), text(std::move(t)) {}
    Step(Op o, int i, std::wstring t, int v = 0) : op(o), id(i), value(v), text(std::move(t)) {}
    Op op;
    int id = 0, value = 0;
    std::wstring text;
};

struct Scenario {
    std::wstring argument;            // the start-up text
    std::wstring inputBox, outputBox; // what the path boxes show once the window opens
    std::vector<Step> steps;
    bool alone = false; // no lame.exe beside Sorvane.exe, a planted one in its current folder
    std::wstring path;  // a folder put before PATH
    int show = -1;      // the show command of its start-up information, if any
};

// One running Sorvane.exe, in a fresh folder that takes the stand-ins' records.
struct App {
    explicit App(const Scenario& start) {
        static int count = 0;
        folder = (std::filesystem::temp_directory_path() /
                  (L"Sorvane тест " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++count)))
                     .wstring();
        std::filesystem::remove_all(folder); // left by an earlier run whose process id this is
        std::filesystem::create_directory(folder);
        if (start.alone) {
            MakeFile(folder + L"\\lame.exe", "no program");
        }
        SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", folder.c_str());
        std::wstring path(32767, L'\0');
        path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
        SetEnvironmentVariableW(L"PATH", (Expand(start.path) + L";" + path).c_str());
        std::wstring line = L"\"" + BuildFolder() + (start.alone ? L"\\alone" : L"") +
                            L"\\Sorvane.exe\" " + start.argument;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = start.show < 0 ? 0 : STARTF_USESHOWWINDOW; // as a shortcut gives it
        startup.wShowWindow = static_cast<WORD>(start.show);
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &info));
        SetEnvironmentVariableW(L"PATH", path.c_str());
        CloseHandle(info.hThread);
        process = info.hProcess;
        // Its own window: one of a program that has just ended may not be gone yet.
        const auto opened = [&] {
            for (window = FindWindowExW(nullptr, nullptr, SORVANE_WINDOW_CLASS, nullptr); window;
                 window = FindWindowExW(nullptr, window, SORVANE_WINDOW_CLASS, nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == info.dwProcessId) {
                    return IsWindowVisible(window) != FALSE;
                }
            }
            return false;
        };
        EXPECT_TRUE(WaitUntil(opened, 10000)) << "the window did not open";
    }
    ~App() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "closing did not end it";
        TerminateProcess(process, 1);
        CloseHandle(process);
    }

    std::wstring Expand(std::wstring text) const {
        for (std::size_t at; (at = text.find(L"<dir>")) != text.npos;) {
            text.replace(at, 5, folder);
        }
        return text;
    }
    HWND Item(int id) const { return GetDlgItem(window, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    int Check(int id) const { return static_cast<int>(SendMessageW(Item(id), BM_GETCHECK, 0, 0)); }
    HWND Popup() const {
        HWND popup = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (popup = GetLastActivePopup(window)) != window; }))
            << "no dialog or message came";
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
        WaitUntil([&] { return GetForegroundWindow() == window; });
    }
    void Click(int id) const {
        Activate();
        PostMessageW(Item(id), BM_CLICK, 0, 0);
    }
    void Key(WORD key) const { // through the system's input queue, to the focused control
        Activate();
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
    // The stand-ins' records (see StandIn.cpp), in the order they were written.
    std::vector<std::wstring> Records() const {
        std::ifstream file(std::filesystem::path(folder + L"\\records"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const std::wstring all(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        std::vector<std::wstring> records;
        for (std::size_t at = 0, end; (end = all.find(L'\f', at)) != all.npos; at = end + 1) {
            records.push_back(all.substr(at, end - at));
        }
        return records;
    }
    // The window at a moment of kLooks; the sliders' range, steps, ticks and first position.
    void ExpectState(int moment) const {
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_EQ(WindowText(window), L"Sorvane MP3 Encoder Interface");
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) &
                      (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU),
                  WS_SYSMENU);
        // Whether each control is enabled and checked ('-': it has no check), then the round of
        // the Tab key; waited for, as a click or a key is handled after it was sent.
        const auto seen = [&] {
            std::string state;
            for (const Look& c : kLooks) {
                state += IsWindowEnabled(Item(c.id)) ? '1' : '0';
                state += *c.checked ? static_cast<char>('0' + Check(c.id)) : '-';
            }
            for (HWND at = GetNextDlgTabItem(window, nullptr, FALSE), first = at;
                 at != nullptr && state.size() < 200;
                 at = (at = GetNextDlgTabItem(window, at, FALSE)) == first ? nullptr : at) {
                state += " " + std::to_string(GetDlgCtrlID(at));
            }
            return state;
        };
        std::string want;
        for (const Look& c : kLooks) {
            want += {c.enabled[moment], *c.checked ? c.checked[moment] : '-'};
        }
        for (const Look& c : kLooks) {
            want += c.tab[moment] == '1' ? " " + std::to_string(c.id) : "";
        }
        WaitUntil([&] { return seen() == want; });
        EXPECT_EQ(seen(), want) << "at moment " << moment;
        for (const Look& c : kLooks) {
            SCOPED_TRACE(testing::Message() << "control " << c.id << " at moment " << moment);
            wchar_t kind[32] = {};
            GetClassNameW(Item(c.id), kind, 32);
            if (lstrcmpiW(kind, L"Edit") != 0 && lstrcmpiW(kind, TRACKBAR_CLASSW) != 0) {
                EXPECT_EQ(Text(c.id), c.name);
            } else { // named after the nearest label before it, unless a tab group starts first
                HWND before = GetWindow(Item(c.id), GW_HWNDPREV);
                while (GetClassNameW(before, kind, 32) && lstrcmpiW(kind, L"Static") != 0 &&
                       (~GetWindowLongPtrW(before, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) != 0) {
                    before = GetWindow(before, GW_HWNDPREV);
                }
                EXPECT_EQ(lstrcmpiW(kind, L"Static") == 0 ? WindowText(before) : L"", c.name);
            }
            if (!Text(c.id).empty() && (c.id == InputFileTxt || c.id == OutputFileTxt)) {
                RECT inside; // a path too long for its box shows its end
                GetClientRect(Item(c.id), &inside);
                const auto x = static_cast<short>(
                    LOWORD(SendMessageW(Item(c.id), EM_POSFROMCHAR, Text(c.id).size() - 1, 0)));
                EXPECT_TRUE(x >= 0 && x < inside.right) << x;
            }
        }
        for (const auto& [id, maximum, position] : {std::tuple{Slider1, 9, 0}, {Slider2, 5, 4}}) {
            const auto ask = [&](UINT message) { return SendMessageW(Item(id), message, 0, 0); };
            const LRESULT style = GetWindowLongPtrW(Item(id), GWL_STYLE);
            EXPECT_EQ(std::vector<LRESULT>({ask(TBM_GETRANGEMIN), ask(TBM_GETRANGEMAX),
                                            ask(TBM_GETLINESIZE), ask(TBM_GETPAGESIZE),
                                            ask(TBM_GETNUMTICS), ask(TBM_GETPOS),
                                            style & (TBS_VERT | TBS_TOP | TBS_BOTH | TBS_NOTICKS)}),
                      std::vector<LRESULT>({0, maximum, 1, 5, maximum + 1, position, 0}))
                << "slider " << id << " at moment " << moment;
        }
    }
    // A "Browse..." dialog given this text in its file name box (edt1, or cmb13), OK or Cancel.
    HWND AnswerDialog(int button, const std::wstring& file) const {
        Click(button);
        HWND dialog = Popup();
        SendMessageW(GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480)
                                               : GetDlgItem(dialog, 0x47c),
                     WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        PostMessageW(dialog, WM_COMMAND, file.empty() ? IDCANCEL : IDOK, 0);
        return dialog;
    }

    void Run(const Step& step) {
        const std::wstring text = Expand(step.text);
        const auto expect = [&](const std::function<bool()>& condition) {
            EXPECT_TRUE(WaitUntil(condition))
                << "id " << step.id << ", " << step.value << ", " << text;
        };
        HWND popup = nullptr;
        std::wstring record = // with its folder, a normal window and a console of its own
            text + (text.find(L'\n') != text.npos ? L"" : L"\n" + folder) + L"\n1\n1";
        switch (step.op) {
        case Op::State:
            return ExpectState(step.id);
        case Op::Click:
            return Click(step.id);
        case Op::Key:
            return Key(static_cast<WORD>(step.id));
        case Op::TabTo:
            for (int i = 0, before; i < 20 && (before = FocusId()) != step.id; ++i) {
                Key(VK_TAB);
                if (!WaitUntil([&] { return FocusId() != before; }, 3000)) {
                    break; // the focus stays where it is
                }
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
        case Op::Launch:
            Click(Command1);
            [[fallthrough]];
        case Op::Started: {
            std::vector<std::wstring> records;
            // Wine's console host, which each start makes, now and then takes seconds to come.
            WaitUntil([&] { return (records = Records()).size() > started; }, 15000);
            ASSERT_GT(records.size(), started) << text;
            const std::wstring got = records[started++];
            EXPECT_EQ(got.substr(0, got.rfind(L'\n')), record);
            // The stand-in and its console (which could take keys) end; Sorvane keeps no handle.
            const DWORD id = std::stoul(got.substr(got.rfind(L'\n') + 1));
            HANDLE standIn = OpenProcess(SYNCHRONIZE, FALSE, id);
            EXPECT_NE(WaitForSingleObject(standIn, 10000), WAIT_TIMEOUT);
            CloseHandle(standIn);
            for (ULONG_PTR value = 4; value < 16384; value += 4) {
                HANDLE copy = nullptr;
                if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(),
                                    &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
                    EXPECT_NE(GetProcessId(copy) + GetProcessIdOfThread(copy), id) << value;
                    CloseHandle(copy);
                }
            }
            encoders += text.rfind(L"lame.exe", 0) == 0; // only the encoder's start beeps
            return expect([&] { return Beeps() - beeps >= encoders; });
        }
        case Op::Dialog:
            if ((step.id == BrowBut1 && !text.empty()) || step.value != 0) {
                MakeFile(text); // the open dialog wants a file; the save dialog finds one
            }
            popup = AnswerDialog(step.id, text);
            if (step.value != 0) { // the dialog asks, in a box of its own, before replacing
                HWND ask = nullptr;
                expect(
                    [&] { return GetWindow(ask = GetLastActivePopup(popup), GW_OWNER) == popup; });
                PostMessageW(ask, WM_COMMAND, static_cast<WPARAM>(step.value), 0);
                expect([&] { return !IsWindow(ask); });
                if (step.value == IDNO) {
                    PostMessageW(popup, WM_COMMAND, IDCANCEL, 0);
                }
            }
            return expect([&] { return !IsWindow(popup); });
        case Op::Filter: {
            for (const wchar_t* name : {L"a.wav", L"b.mp3", L"c.txt"}) {
                MakeFile(folder + L"\\types\\" + name);
            }
            popup = AnswerDialog(step.id, folder + L"\\types");    // OK on a folder opens it
            EXPECT_EQ(WindowText(GetDlgItem(popup, 0x470)), text); // the file type box, cmb1
            expect([&] {                                           // the files it lists
                HWND view = FindWindowExW(popup, nullptr, L"SHELLDLL_DefView", nullptr);
                view = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
                return view && SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 1;
            });
            PostMessageW(popup, WM_COMMAND, IDCANCEL, 0);
            return expect([&] { return !IsWindow(popup); });
        }
        case Op::Message: // its text is the static 0xFFFF
            popup = Popup();
            record = WindowText(GetDlgItem(popup, 0xFFFF));
            for (std::size_t at = 0, end = 0; end < text.size(); at = end + 1) {
                end = std::min(text.find(L'|', at), text.size());
                EXPECT_NE(record.find(text.substr(at, end - at)), record.npos) << record;
            }
            EXPECT_EQ(record.find(L'%'), record.npos) << record;
            EXPECT_FALSE(IsWindowEnabled(window));
            PostMessageW(popup, WM_COMMAND, IDOK, 0);
            return expect([&] { return !IsWindow(popup) && IsWindowEnabled(window); });
        case Op::Away:
            popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr,
                                    nullptr, nullptr, nullptr);
            SetForegroundWindow(popup);
            expect([&] { return GetForegroundWindow() == popup; });
            Activate();
            DestroyWindow(popup);
            return;
        case Op::Spoken: { // from a COM apartment, as a screen reader asks
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            const IID iid{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0, 0xAA, 0, 0x38, 0x9B, 0x71}};
            IAccessible* object = nullptr;
            ASSERT_HRESULT_SUCCEEDED(
                AccessibleObjectFromWindow(Item(step.id), static_cast<DWORD>(OBJID_CLIENT), iid,
                                           reinterpret_cast<void**>(&object)));
            VARIANT self{}, role{};
            self.vt = VT_I4; // CHILDID_SELF
            std::wstring seen;
            WaitUntil([&] { // once the slider has handled the key
                BSTR name = nullptr, value = nullptr;
                object->get_accName(self, &name);
                object->get_accValue(self, &value);
                seen = std::wstring(name ? name : L"") + L"|" + (value ? value : L"");
                SysFreeString(name);
                SysFreeString(value);
                return seen == text;
            });
            object->get_accRole(self, &role);
            object->Release();
            EXPECT_EQ(role.lVal, ROLE_SYSTEM_SLIDER);
            EXPECT_EQ(seen, text);
            return;
        }
        case Op::Plant:
            if (const std::size_t bar = text.find(L'|'); bar != text.npos) {
                return MakeFile(text.substr(0, bar),
                                std::filesystem::path(text.substr(bar + 1)).u8string().c_str());
            }
            MakeFile(text);
            CopyFileW((BuildFolder() + L"\\lame.exe").c_str(), text.c_str(), FALSE);
            return;
        }
    }

    std::wstring folder;
    HANDLE process = nullptr;
    HWND window = nullptr;
    std::size_t started = 0, encoders = 0; // the starts the steps so far expect
    std::size_t beeps = Beeps();           // before this program started
};

TEST(Window, Scenarios) {
    const auto failures = [] {
        return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    };
    const std::wstring x(32766 - 30, L'x'); // makes the longest command Windows takes
    const std::wstring odd = L"C:\\a\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.wa";
    const std::wstring oddQuoted = L"C:\\a\\\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.wa";
    const std::wstring music = L"C:\\Users\\Someone\\Music\\Artist Name\\2026 - A Rather Long "
                               L"Album Title\\07 - A Rather Long Track Title (Live).";
    const std::wstring bin = BuildFolder();
    const Scenario scenarios[] = {
        // The start-up text is the input path (the first argument when quoted); blanks are quoted.
        {L"\"C:\\My Music\\a.wav\" /extra",
         L"C:\\My Music\\a.wav",
         L"C:\\My Music\\a.mp3",
         {{Launch, L"lame.exe -h  \"C:\\My Music\\a.wav\" \"C:\\My Music\\a.mp3\""}}},
        {odd + L"v  ",
         odd + L"v  ",
         odd + L"mp3",
         {{SetText, Text1, L"--ta \"A & B\" ^%PATH%!"},
          {Launch, L"lame.exe -h --ta \"A & B\" ^%PATH%! \"" + oddQuoted + L"v  \" \"" + oddQuoted +
                       L"mp3\""}}},
        // Started maximized, it opens at its own size; a path too long for its box shows its end.
        {music + L"wav",
         music + L"wav",
         music + L"mp3",
         {{State, 0}},
         false,
         L"",
         SW_SHOWMAXIMIZED},

        // Each moment and its command; the labels follow the sliders; each click starts one more.
        {L"C:\\in.wav",
         L"C:\\in.wav",
         L"C:\\in.mp3",
         {{State, 0},
          {Click, CustomCh},
          {State, 1},
          {Launch, L"lame.exe   C:\\in.wav C:\\in.mp3"},
          {Click, EnableQual},
          {Click, EnableBitrate},
          {Click, DisableFiltering},
          {State, 2},
          {SetText, Text1, L"--tt \"Ünï\""},
          {Launch, L"lame.exe  -q 0 -b 128 -k --tt \"Ünï\" C:\\in.wav C:\\in.mp3"},
          {SetText, Text1, L""},
          {Click, StandardCh},
          {State, 0},
          {Launch, L"lame.exe -h  C:\\in.wav C:\\in.mp3"},
          {Click, CustomCh},
          {State, 1},
          {Click, EnableQual},
          {Click, EnableBitrate},
          {Drag, Slider1, 3},
          {Drag, Slider2, 0},
          {Text, QualityDesc, L"Good quality, slow"},
          {Text, BitrateDesc, L"32 kbps"},
          {Launch, L"lame.exe  -q 3 -b 32  C:\\in.wav C:\\in.mp3"},
          {Click, StandardCh},
          {Click, CustomCh},
          {Click, EnableBitrate},
          {Click, Command1},
          {Click, Command1},
          {Started, L"lame.exe  -b 32  C:\\in.wav C:\\in.mp3"},
          {Started, L"lame.exe  -b 32  C:\\in.wav C:\\in.mp3"},
          {TabTo, Slider1},
          {Key, VK_RIGHT},
          {Text, QualityDesc, L"Medium quality"},
          {Key, VK_NEXT},
          {Text, QualityDesc, L"Poor quality, very fast"},
          {Spoken, Slider1, L"Quality:|Poor quality, very fast"},
          {Key, VK_HOME},
          {Spoken, Slider1, L"Quality:|Highest quality, very slow"},
          {TabTo, Slider2},
          {Key, VK_RIGHT},
          {Text, BitrateDesc, L"48 kbps"},
          {Spoken, Slider2, L"Bitrate:|48 kbps"},
          {Key, VK_END},
          {Text, BitrateDesc, L"160 kbps"},
          {Spoken, Slider2, L"Bitrate:|160 kbps"},
          {Key, VK_PRIOR},
          {Spoken, Slider2, L"Bitrate:|32 kbps"}}},
        // Arrows, Space, Enter on a button; Escape and Enter in the text box do nothing; focus
        // kept.
        {L"C:\\x.wav",
         L"C:\\x.wav",
         L"C:\\x.mp3",
         {{Focus, BrowBut1},
          {TabTo, StandardCh},
          {Key, VK_DOWN},
          {State, 1},
          {TabTo, EnableQual},
          {Key, VK_SPACE},
          {TabTo, DisableFiltering},
          {Key, VK_SPACE},
          {TabTo, EnableBitrate},
          {Key, VK_SPACE},
          {State, 2},
          {TabTo, CustomCh},
          {Key, VK_UP},
          {State, 0},
          {TabTo, Command1},
          {Key, VK_RETURN},
          {Started, L"lame.exe -h  C:\\x.wav C:\\x.mp3"},
          {Key, VK_ESCAPE},
          {TabTo, Text1},
          {Key, VK_RETURN},
          {TabTo, Command2},
          {Key, VK_RETURN},
          {Started, L"notepad.exe USAGE\n" + bin},
          {TabTo, Text1},
          {Away},
          {Focus, Text1}}},
        // The dialogs' types; the extension added; replace asked; cancelling changes nothing.
        {L"",
         L"",
         L"",
         {{Filter, BrowBut1, L"Wave files"},
          {Filter, BrowBut2, L"MP3 Files"},
          {Dialog, BrowBut1, L"<dir>\\Мои записи\\концерт 1.wav"},
          {Text, InputFileTxt, L"<dir>\\Мои записи\\концерт 1.wav"},
          {Text, OutputFileTxt, L"<dir>\\Мои записи\\концерт 1.mp3"},
          {Dialog, BrowBut2, L"<dir>\\out put"},
          {Text, OutputFileTxt, L"<dir>\\out put.mp3"},
          {Launch, L"lame.exe -h  \"<dir>\\Мои записи\\концерт 1.wav\" "
                   L"\"<dir>\\out put.mp3\""},
          {Dialog, BrowBut2, L"<dir>\\old.mp3", IDNO},
          {Text, OutputFileTxt, L"<dir>\\out put.mp3"},
          {Dialog, BrowBut2, L"<dir>\\old.mp3", IDYES},
          {Text, OutputFileTxt, L"<dir>\\old.mp3"},
          {Dialog, BrowBut1, L"<dir>\\second.wav"},
          {Text, OutputFileTxt, L"<dir>\\second.mp3"},
          {Dialog, BrowBut1},
          {Dialog, BrowBut2},
          {Launch, L"lame.exe -h  \"<dir>\\second.wav\" \"<dir>\\second.mp3\""}}},
        // The encoder is searched for in Sorvane's folder, Windows' and PATH, never the current
        // one; Info starts beside it (or the real one its symbolic link or Scoop shim stands for),
        // else in Sorvane's folder; failures say what and where; a quoted PATH entry is searched.
        {L"C:\\keep.wav",
         L"C:\\keep.wav",
         L"C:\\keep.mp3",
         {{Click, Command1},
          {Message, L"lame.exe|" + bin + L"\\alone|Windows|PATH|start it again|Error 2: "},
          {Text, InputFileTxt, L"C:\\keep.wav"},
          {Click, Command2},
          {Started, L"notepad.exe USAGE\n" + bin + L"\\alone"}},
         true},
        {L"C:\\a.wav",
         L"C:\\a.wav",
         L"C:\\a.mp3",
         {{Launch, L"lame.exe -h  C:\\a.wav C:\\a.mp3"},
          {Click, Command2},
          {Started, L"notepad.exe USAGE\n" + bin}},
         true,
         L";.;" + bin + L"\\linked"},
        {L"C:\\a.wav",
         L"C:\\a.wav",
         L"C:\\a.mp3",
         {{Click, Command1}, {Message, L"<dir>\\lame.exe"}},
         true,
         L"<dir>"},
        {L"C:\\a.wav",
         L"C:\\a.wav",
         L"C:\\a.mp3",
         {{Plant, L"<dir>\\shims\\lame.exe"},
          {Plant, L"<dir>\\shims\\lame.shim|path = \"<dir>\\apps\\lame\\lame.exe\""},
          {Plant, L"<dir>\\apps\\lame\\lame.exe|a dummy"},
          {Launch, L"lame.exe -h  C:\\a.wav C:\\a.mp3"},
          {Click, Command2},
          {Started, L"notepad.exe USAGE\n<dir>\\apps\\lame"}},
         true,
         L"\"<dir>\\shims\""},
        // A command too long for Windows is refused whole.
        {L"C:\\a.wav",
         L"C:\\a.wav",
         L"C:\\a.mp3",
         {{SetText, Text1, x},
          {Launch, L"lame.exe -h " + x + L" C:\\a.wav C:\\a.mp3"},
          {SetText, Text1, x + L"x"},
          {Click, Command1},
          {Message, L"Error 206: "}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.argument.substr(0, 40));
        const int before = failures();
        App app(scenario);
        EXPECT_EQ(app.Text(InputFileTxt), scenario.inputBox);
        EXPECT_EQ(app.Text(OutputFileTxt), scenario.outputBox);
        // A scenario stops at its first failed step, which the trace names.
        for (std::size_t i = 0; i < scenario.steps.size() && failures() == before; ++i) {
            SCOPED_TRACE(testing::Message()
                         << "step " << i + 1 << ", " << kOps[scenario.steps[i].op]);
            app.Run(scenario.steps[i]);
        }
        if (failures() == before) {
            EXPECT_EQ(app.Records().size(), app.started); // nothing more was started
            EXPECT_EQ(Beeps() - app.beeps, app.encoders); // and no more beeps sounded
        }
    }
}

} // namespace
