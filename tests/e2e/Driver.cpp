#include "Driver.h"

#include "ControlIds.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

namespace e2e {

namespace {

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

void CreateFolders(const std::wstring& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\') {
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
        }
    }
}

void Copy(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy a program into the test folder");
    }
}

struct FindContext {
    DWORD processId;
    HWND owner;
    HWND found;
};

// With no owner, finds the process's main window; with one, a window it owns.
BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const bool wanted = context->owner == nullptr ? ClassName(window) == SORVANE_WINDOW_CLASS
                                                  : GetWindow(window, GW_OWNER) == context->owner;
    if (pid == context->processId && wanted && IsWindowVisible(window)) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

std::vector<std::wstring> SplitNulls(const std::wstring& data) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    while (start < data.size()) {
        const std::size_t end = data.find(L'\0', start);
        if (end == std::wstring::npos) {
            break;
        }
        fields.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::wstring ReadWide(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::wstring data(static_cast<std::size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(file, data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    return data;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > end) {
            return condition();
        }
        Sleep(20);
    }
    return true;
}

std::wstring BuildFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring TestRoot() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return Join(temp, L"sorvane-e2e-" + std::to_wstring(GetCurrentProcessId()));
}

App::App(const std::wstring& arguments, const AppOptions& options) {
    static int counter = 0;
    folder_ = Join(TestRoot(), options.folderName + L" " + std::to_wstring(++counter));
    records_ = Join(folder_, L"records");
    CreateFolders(records_);
    const std::wstring build = BuildFolder();
    const std::wstring exe = Join(folder_, L"Sorvane.exe");
    Copy(Join(build, L"Sorvane.exe"), exe);
    if (options.withEncoder) {
        Copy(Join(build, L"stand_in.exe"), Join(folder_, L"lame.exe"));
    }
    if (options.withNotepad) {
        Copy(Join(build, L"stand_in.exe"), Join(folder_, L"notepad.exe"));
    }
    SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", records_.c_str());

    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        (options.currentFolder.empty() ? folder_ : options.currentFolder).c_str(),
                        &startup, &info)) {
        throw std::runtime_error("cannot start Sorvane.exe");
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    WaitForInputIdle(process_, 10000);
    FindContext context{processId_, nullptr, nullptr};
    WaitUntil([&] {
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&context));
        return context.found != nullptr;
    });
    window_ = context.found;
    if (window_ == nullptr) {
        TerminateProcess(process_, 1);
        CloseHandle(process_);
        throw std::runtime_error("Sorvane's window did not appear");
    }
    threadId_ = GetWindowThreadProcessId(window_, nullptr);
}

App::~App() {
    if (Alive()) {
        // Close any dialog or message box first, then the window itself.
        for (int i = 0; i < 5; ++i) {
            FindContext context{processId_, window_, nullptr};
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&context));
            if (context.found == nullptr) {
                break;
            }
            PostMessageW(context.found, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(context.found, WM_CLOSE, 0, 0);
            Sleep(200);
        }
        PostMessageW(window_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
    }
    CloseHandle(process_);
}

std::wstring App::Text(int id) const {
    return WindowText(Item(id));
}

int App::Check(int id) const {
    return static_cast<int>(SendMessageW(Item(id), BM_GETCHECK, 0, 0));
}

int App::SliderPosition(int id) const {
    return static_cast<int>(SendMessageW(Item(id), TBM_GETPOS, 0, 0));
}

HWND App::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

int App::FocusId() const {
    HWND focus = Focus();
    return focus != nullptr && GetParent(focus) == window_ ? GetDlgCtrlID(focus) : 0;
}

void App::Activate() const {
    SetForegroundWindow(window_);
    WaitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
}

void App::Click(int id) const {
    Activate();
    PostMessageW(Item(id), BM_CLICK, 0, 0);
}

void App::Key(WORD virtualKey, bool shift) const {
    HWND foreground = GetForegroundWindow();
    DWORD pid = 0;
    GetWindowThreadProcessId(foreground, &pid);
    if (pid != processId_) {
        Activate();
    }
    std::vector<INPUT> inputs;
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, false));
    }
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, true));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

int App::Tab(bool shift) const {
    const HWND before = Focus();
    Key(VK_TAB, shift);
    WaitUntil([&] { return Focus() != before; }, 3000);
    return FocusId();
}

void App::Type(const std::wstring& text) const {
    Activate();
    for (const wchar_t c : text) {
        INPUT inputs[2] = {};
        for (int i = 0; i < 2; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wScan = c;
            inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, inputs, sizeof(INPUT));
    }
}

RECT App::ThumbRect(int id) const {
    // TBM_GETTHUMBRECT writes through a pointer, which must point into the slider's own
    // process.
    RECT rect{};
    void* remote =
        VirtualAllocEx(process_, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) {
        return rect;
    }
    SendMessageW(Item(id), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process_, remote, &rect, sizeof(rect), nullptr);
    VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
    MapWindowPoints(Item(id), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MouseMove(POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(INPUT));
    Sleep(30);
}

void MouseButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(INPUT));
    Sleep(30);
}

void App::SetText(int id, const std::wstring& text) const {
    SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND App::WaitForOwnedWindow(DWORD timeoutMs) const {
    FindContext context{processId_, window_, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&context));
            return context.found != nullptr;
        },
        timeoutMs);
    return context.found;
}

std::vector<Record> App::Records() const {
    std::vector<std::pair<ULONGLONG, Record>> found;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(Join(records_, L"*.rec").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    do {
        const std::wstring name = data.cFileName;
        const std::vector<std::wstring> fields = SplitNulls(ReadWide(Join(records_, name)));
        if (fields.size() < 3) {
            continue;
        }
        Record record;
        record.program = name.substr(0, name.find(L'-'));
        record.commandLine = fields[0];
        record.showWindow = std::stoi(fields[1]);
        record.ownConsole = fields[2] == L"1";
        record.argv.assign(fields.begin() + 3, fields.end());
        const std::size_t stamp = name.rfind(L'-');
        found.emplace_back(std::stoull(name.substr(stamp + 1)), std::move(record));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Record> records;
    for (auto& entry : found) {
        records.push_back(std::move(entry.second));
    }
    return records;
}

std::vector<Record> App::WaitForRecords(std::size_t count, DWORD timeoutMs) const {
    std::vector<Record> records;
    WaitUntil(
        [&] {
            records = Records();
            return records.size() >= count;
        },
        timeoutMs);
    return records;
}

std::wstring WindowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == L"Static") {
            const std::wstring part = WindowText(child);
            if (!part.empty()) {
                text += text.empty() ? part : L"\n" + part;
            }
        }
    }
    return text;
}

void PressDialogButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
}

HWND FileNameBox(HWND dialog) {
    // The file name box is edt1 (0x480) in older layouts and the edit inside cmb13 (0x47c)
    // in the explorer layout.
    if (HWND edit = GetDlgItem(dialog, 0x480)) {
        return edit;
    }
    HWND box = GetDlgItem(dialog, 0x47c);
    // Look through ComboBoxEx32 and ComboBox for the edit control inside.
    while (box != nullptr && ClassName(box) != L"Edit") {
        box = GetWindow(box, GW_CHILD);
    }
    return box;
}

void WriteFileText(const std::wstring& path, const std::string& bytes) {
    CreateFolders(path.substr(0, path.find_last_of(L'\\')));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot write a test file");
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace e2e
