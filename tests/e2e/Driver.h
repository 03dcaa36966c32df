#pragma once

// Drives the real Sorvane.exe from outside, as a person would: finds its window and
// controls, clicks buttons, types keys into the focused control, works the system dialogs,
// and reads back what the stand-in programs recorded.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Polls until the condition holds or the time is up; returns the last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// What one stand-in process recorded of its start.
struct Record {
    std::wstring program; // "lame" or "notepad"
    std::wstring commandLine;
    int showWindow = -1;
    bool ownConsole = false;
    std::vector<std::wstring> argv;
};

struct AppOptions {
    bool withEncoder = true; // put the stand-in lame.exe beside Sorvane.exe
    bool withNotepad = true; // and the stand-in notepad.exe
    std::wstring folderName = L"Sorvane тест";
    std::wstring currentFolder; // where Sorvane starts; empty: its own folder
};

// One running Sorvane.exe in a fresh folder of its own; closed when destroyed.
class App {
  public:
    explicit App(const std::wstring& arguments = L"", const AppOptions& options = {});
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    HWND Window() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_; }
    const std::wstring& Folder() const { return folder_; }
    bool Alive() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    std::wstring Text(int id) const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Check(int id) const;
    int SliderPosition(int id) const;
    HWND Focus() const;
    int FocusId() const;

    // Presses a button the way a mouse click does; returns at once, so a dialog it
    // opens can be worked next.
    void Click(int id) const;
    // Brings the window to the front and sends a key press (with Shift when asked) through
    // the system's input queue, so it goes to whatever control has the focus.
    void Key(WORD virtualKey, bool shift = false) const;
    // Sends Tab and waits for the focus to move; returns the control id now focused.
    int Tab(bool shift = false) const;
    // Types text into the focused control, one character at a time.
    void Type(const std::wstring& text) const;
    void SetText(int id, const std::wstring& text) const;
    // The slider's thumb in screen coordinates, read through the process's own memory.
    RECT ThumbRect(int id) const;
    void Activate() const;

    // The next top-level window of this process owned by the main window (a dialog or a
    // message box), or null after the timeout.
    HWND WaitForOwnedWindow(DWORD timeoutMs = 10000) const;
    // Records of stand-in starts so far, oldest first.
    std::vector<Record> Records() const;
    // Waits until at least this many records exist and returns them.
    std::vector<Record> WaitForRecords(std::size_t count, DWORD timeoutMs = 15000) const;

  private:
    std::wstring folder_;
    std::wstring records_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// Mouse button and moves through the system's input queue, in screen coordinates.
void MouseMove(POINT at);
void MouseButton(bool down);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The texts of every static control in a message box, joined by line breaks.
std::wstring MessageBoxText(HWND box);
// Presses a dialog's button by its id (IDOK, IDCANCEL, IDYES...).
void PressDialogButton(HWND dialog, int id);
// The file-name box of a system file dialog.
HWND FileNameBox(HWND dialog);
// Writes a file, creating folders as needed.
void WriteFileText(const std::wstring& path, const std::string& bytes);
std::wstring TestRoot();
// The folder of the test program, where the programs under test were built.
std::wstring BuildFolder();

} // namespace e2e
