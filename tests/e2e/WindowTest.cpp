// Drives the real Sorvane.exe from this process, as a person would, for what only another process
// shows: what stand-ins for lame.exe and notepad.exe receive, the beeps, the file dialogs and the
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

// The dialog a "Browse..." button opened lists only files of its type; it is given a file (none:
// Cancel) and, when asked before the file is replaced, the answer.
void Choose(HWND window, bool open, const std::wstring& folder, const std::wstring& file,
            int answer) {
    MakeFile(folder + L"\\types\\a.wav");
    MakeFile(folder + L"\\types\\b.mp3");
    if ((open && !file.empty()) || answer != 0) {
        MakeFile(file);
    }
    HWND dialog = nullptr, ask = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (dialog = GetLastActivePopup(window)) != window; }));
    const auto give = [&](const std::wstring& name) { // in edt1, or cmb13
        HWND box =
            GetDlgItem(dialog, 0x480) ? GetDlgItem(dialog, 0x480) : GetDlgItem(dialog, 0x47c);
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
    };
    give(folder + L"\\types"); // OK on a folder opens it
    EXPECT_TRUE(WaitUntil([&] {
        HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
        view = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
        return view && SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 1;
    }));
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

// A case: the start-up text; the controls clicked or keys (codes below 100) pressed, each
// "Browse..." given the next of `files` and followed by the answer (IDYES, IDNO) when it asks;
// what the stand-ins receive in any order (command line, then the folder unless Sorvane's own
// current one), and what a box of the window says (each '|' part). With a `path`, Sorvane.exe
// runs alone, without an encoder, `path` before PATH. `typed` goes into "Additional Options:".
struct Case {
    std::wstring argument;
    std::vector<int> does;
    std::vector<std::wstring> started;
    std::wstring says, path;
    std::vector<std::wstring> files;
    std::wstring typed;
};

// Runs a case on a fresh Sorvane.exe in a folder of its own ("<dir>"), which takes the records
// and holds a lame.exe never to be run. Each encoder's start beeps once, Sorvane holds no handle
// to a stand-in, a box leaves no insert (%1) unfilled, a screen reader hears each slider as a
// slider named by its label, its setting in the words beside it. Closing the window ends it.
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
    SendMessageW(GetDlgItem(window, Text1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(c.typed.c_str()));
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
    for (std::size_t k = 0, file = 0; k < c.does.size() && IsWindow(window); ++k) {
        const int id = c.does[k], next = k + 1 < c.does.size() ? c.does[k + 1] : 0;
        const std::size_t started = read();
        HWND control = GetDlgItem(window, id);
        const auto reachable = [&] { return IsWindowEnabled(control) && IsWindowVisible(control); };
        SetForegroundWindow(window);
        WaitUntil([&] { return GetForegroundWindow() == window; });
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
            Choose(window, id == BrowBut1, folder, expand(c.files[file++]),
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
    for (std::wstring& record : records) { // its process id last
        const DWORD id = std::stoul(record.substr(record.rfind(L'\n') + 1));
        record.resize(record.rfind(L'\n'));
        for (ULONG_PTR value = 4; value < 16384; value += 4) {
            HANDLE copy = nullptr;
            if (DuplicateHandle(info.hProcess, reinterpret_cast<HANDLE>(value), GetCurrentProcess(),
                                &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
                EXPECT_NE(GetProcessId(copy) + GetProcessIdOfThread(copy), id) << value;
                CloseHandle(copy);
            }
        }
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
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(window); }));
    }
    for (std::size_t at = 0, end = 0; end < says.size(); at = end + 1) {
        end = std::min(says.find(L'|', at), says.size());
        EXPECT_NE(said.find(says.substr(at, end - at)), said.npos) << said;
    }
    EXPECT_EQ(said.empty(), says.empty()) << said;
    EXPECT_EQ(said.find(L'%'), said.npos) << "an insert of Windows' message left unfilled";

    for (const auto& [slider, label, words] :
         {std::tuple{Slider1, Label4, QualityDesc}, {Slider2, Label6, BitrateDesc}}) {
        IAccessible* object = nullptr;
        ASSERT_HRESULT_SUCCEEDED(
            AccessibleObjectFromWindow(GetDlgItem(window, slider), static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&object)));
        VARIANT self{};
        self.vt = VT_I4; // CHILDID_SELF
        BSTR name = nullptr, value = nullptr;
        VARIANT role{};
        object->get_accName(self, &name);
        object->get_accValue(self, &value);
        object->get_accRole(self, &role);
        object->Release();
        EXPECT_EQ(std::wstring(name ? name : L"") + L"|" + (value ? value : L"") + L"|" +
                      std::to_wstring(role.lVal),
                  Text(GetDlgItem(window, label)) + L"|" + Text(GetDlgItem(window, words)) + L"|" +
                      std::to_wstring(ROLE_SYSTEM_SLIDER));
        SysFreeString(name);
        SysFreeString(value);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0) << "closing did not end it";
    TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
}

TEST(Window, StartsTheEncoderOrSaysWhyNot) {
    const std::wstring wav = L"C:\\a.wav", plain = L"lame.exe -h  C:\\a.wav C:\\a.mp3";
    const std::wstring all = L"lame.exe  -q 0 -b 128 -k  C:\\a.wav C:\\a.mp3";
    // Blanks, quotes and what a command shell would read; the longest command Windows takes.
    const std::wstring odd = L"C:\\a\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.",
                       typed = L"--ta \"A & B\" ^%PATH%!";
    const std::wstring oddQuoted = L"\"C:\\a\\\"b\\Музыка\\\U0001F3B5 a&b|c<d>e^f%g!.";
    const std::wstring oddCommand =
        L"lame.exe -h " + typed + L" " + oddQuoted + L"wav  \" " + oddQuoted + L"wamp3\"";
    const std::wstring x(32766 - 30, L'x'), longest = L"lame.exe -h " + x + L" C:\\a.wav C:\\a.mp3";
    const std::wstring song = L"<dir>\\Мои записи\\концерт 1.wav";
    const std::wstring old = L"<dir>\\old.mp3";
    const std::wstring chosen = L"lame.exe -h  \"" + song + L"\" \"<dir>\\out put.mp3\"";
    const std::wstring replaced = L"lame.exe -h  C:\\a.wav \"" + old + L"\"";
    const std::wstring bin = Bin(), alone = bin + L"\\alone", lame = bin + L"\\лейм";
    const std::wstring usage = L"notepad.exe USAGE\n";
    const std::wstring nowhere = L"lame.exe|" + alone + L"|Windows|PATH|start it again|Error 2: ";
    const Case cases[] = {
        {wav, {Command1}, {plain}},
        {wav,
         {CustomCh, EnableQual, EnableBitrate, DisableFiltering, Command1, Command1},
         {all, all}},
        {wav, {VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, {plain}},
        {odd + L"wav  ", {Command1}, {oddCommand}, L"", L"", {}, typed},
        // A command too long for Windows is refused whole.
        {wav, {Command1}, {longest}, L"", L"", {}, x},
        {wav, {Command1}, {}, L"Error 206: ", L"", {}, x + L"x"},
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
    for (std::size_t k = 0; k < std::size(cases) && !HasFailure(); ++k) {
        SCOPED_TRACE(testing::Message() << "case " << k + 1);
        Play(cases[k]);
    }
}

} // namespace
