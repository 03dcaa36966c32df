// Measures Sorvane against baselines measured in the same run, and says what each figure
// measures. Its floor is ControlsWindow.exe: the same 25 controls at the same places in a
// window of the same client size, made the plainest way, with Sorvane's manifest. Against it:
// start-up (to a visible window, and until the program first waits for input, which includes
// its first paint) and the peak working set. Two empty windows of that client size stand beside
// it as context, with no goal: MinimalWindow.exe, bare, and StyledWindow.exe, with Sorvane's
// manifest and common controls. Then the latency of "Start Encoding" against starting the
// stand-in encoder directly, and the size of Sorvane.exe against 256 KB. Each timing is the
// median of N runs (15 unless given as the argument), the programs taken in turn, in an order
// that changes from run to run.
#include "ControlIds.h"
#include "Layout.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

std::wstring BenchFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    return path.substr(0, path.find_last_of(L'\\'));
}

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

[[noreturn]] void Fail(const char* what) {
    std::printf("bench failed: %s (error %lu)\n", what, GetLastError());
    std::fflush(stdout);
    ExitProcess(1);
}

struct FindContext {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == context->processId && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

// One running window program; closed when destroyed.
struct Running {
    PROCESS_INFORMATION info{};
    HWND window = nullptr;
    double visibleMs = 0;   // from the process start to a visible window
    double inputIdleMs = 0; // from the process start to its first wait for input

    Running(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
        std::wstring commandLine = L"\"" + exe + L"\"" + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        const double start = NowMs();
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &info)) {
            Fail("cannot start a window program");
        }
        // Both moments are polled together, so that waiting for one does not delay the other.
        FindContext context{info.dwProcessId, nullptr};
        while (window == nullptr || inputIdleMs == 0) {
            if (window == nullptr) {
                EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&context));
                window = context.found;
                if (window != nullptr) {
                    visibleMs = NowMs() - start;
                }
            }
            if (inputIdleMs == 0 && WaitForInputIdle(info.hProcess, 0) == 0) {
                inputIdleMs = NowMs() - start;
            }
            if (NowMs() > start + 10000) {
                Fail("the window did not appear, or its program never waited for input");
            }
            Sleep(1);
        }
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    ~Running() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }

    // The window's client area, in pixels.
    SIZE ClientSize() const {
        RECT client{};
        GetClientRect(window, &client);
        return SIZE{client.right, client.bottom};
    }

    // The peak working set once the window is shown and the program waits for input.
    double PeakWorkingSetKb() const {
        Sleep(300);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) {
            Fail("cannot read a working set");
        }
        return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
    }
};

// The starts the stand-in has recorded: it ends each record with a form feed.
std::size_t CountRecords(const std::wstring& records) {
    HANDLE file =
        CreateFileW(Join(records, L"records").c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\f'));
}

// Waits for one more record than before or, when `window` is given, for a box of it, which tells
// of a start that failed; returns the time either appeared.
double WaitForRecord(const std::wstring& records, std::size_t before, HWND window = nullptr) {
    const double end = NowMs() + 15000;
    while (CountRecords(records) <= before &&
           (window == nullptr || GetLastActivePopup(window) == window)) {
        if (NowMs() > end) {
            Fail("the stand-in encoder left no record");
        }
        Sleep(1);
    }
    return NowMs();
}

// Under load, Wine's console host now and then fails to start, and with it the start of a console
// program fails with ERROR_INTERNAL_ERROR (1359). A start that fails so is tried again, a few
// times, and said so; any other failure, or that one every time, ends the benchmark.
constexpr int kStartAttempts = 5;

bool RetryConsoleStart(int attempt, const char* what) {
    if (attempt == kStartAttempts) {
        return false;
    }
    std::printf("%s: error 1359, Wine's console host did not start; trying again\n", what);
    std::fflush(stdout);
    Sleep(500);
    return true;
}

// Starts the stand-in encoder the way Sorvane starts lame.exe, and times it to its record.
double DirectLaunchMs(const std::wstring& encoder, const std::wstring& records) {
    const std::size_t before = CountRecords(records);
    std::wstring commandLine = L"\"" + encoder + L"\" -h  C:\\in.wav C:\\in.mp3";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    double start = NowMs();
    for (int attempt = 1; !CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                          CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT, nullptr,
                                          nullptr, &startup, &info);
         ++attempt) {
        if (GetLastError() != ERROR_INTERNAL_ERROR ||
            !RetryConsoleStart(attempt, "starting the stand-in encoder")) {
            Fail("cannot start the stand-in encoder");
        }
        start = NowMs();
    }
    const double ms = WaitForRecord(records, before) - start;
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ms;
}

// The text of the message box the window shows (its static 0xFFFF), or empty while none shows.
std::wstring BoxText(HWND window) {
    HWND box = GetLastActivePopup(window);
    wchar_t text[1024] = {};
    if (box != window) {
        GetDlgItemTextW(box, 0xFFFF, text, 1024); // by WM_GETTEXT, which crosses processes
    }
    return text;
}

// Presses "Start Encoding" and times it to the stand-in's record. When Sorvane reports that the
// start failed with error 1359, its box is closed and the press made again.
double SorvaneLaunchMs(HWND window, const std::wstring& records) {
    for (int attempt = 1;; ++attempt) {
        const std::size_t before = CountRecords(records);
        SetForegroundWindow(window);
        Sleep(50);
        const double start = NowMs();
        PostMessageW(GetDlgItem(window, sorvane::ids::Command1), BM_CLICK, 0, 0);
        const double ms = WaitForRecord(records, before, window) - start;
        const std::wstring said = BoxText(window);
        if (said.empty()) {
            Sleep(100); // lets the stand-in and its console go before the next run
            return ms;
        }
        PostMessageW(GetLastActivePopup(window), WM_COMMAND, IDOK, 0);
        if (said.find(L"Error 1359") == std::wstring::npos ||
            !RetryConsoleStart(attempt, "Sorvane starting the stand-in encoder")) {
            std::printf("bench failed: Sorvane said: %ls\n", said.c_str());
            std::fflush(stdout);
            ExitProcess(1);
        }
        while (!BoxText(window).empty()) {
            Sleep(10);
        }
    }
}

struct Figure {
    std::string name;
    const char* unit;
    double subject;
    double baseline;
    double goal; // 0 for a figure shown as context, which has no goal
    bool exact;  // judged on the figures themselves, not on the rounded ratio
};

double Round2(double value) {
    return std::round(value * 100.0) / 100.0;
}

// The pixels per inch at which the layout's twips give that client area, or 0 when none does.
int ScaleOfClient(SIZE client) {
    for (int pixelsPerInch = 48; pixelsPerInch <= 960; ++pixelsPerInch) {
        const sorvane::Scale scale{pixelsPerInch};
        if (scale.Pixels(sorvane::kClientWidthTwips) == client.cx &&
            scale.Pixels(sorvane::kClientHeightTwips) == client.cy) {
            return pixelsPerInch;
        }
    }
    return 0;
}

// One program's figures, run after run.
struct Series {
    std::wstring exe, arguments, folder;
    std::vector<double> visible, inputIdle, workingSet;
    SIZE client{};

    void Measure() {
        Running program(exe, arguments, folder);
        visible.push_back(program.visibleMs);
        inputIdle.push_back(program.inputIdleMs);
        client = program.ClientSize();
        workingSet.push_back(program.PeakWorkingSetKb());
    }
};

// What each figure measures and against what, in a reader's words.
constexpr const char* kLegend[] = {
    "startup     from starting the program to its window being visible; against",
    "            ControlsWindow.exe, the same 25 controls made the plainest way",
    "inputidle   from starting the program to its first wait for input, once its window",
    "            is painted; against ControlsWindow.exe",
    "workingset  the most memory the program held, once its window is shown and waits",
    "            for input (peak working set); against ControlsWindow.exe",
    "launch      from pressing \"Start Encoding\" to the stand-in encoder's record of its",
    "            start, made once its console window is in front; against starting the",
    "            stand-in directly, as Sorvane starts it",
    "exesize     the size of Sorvane.exe, against 256 KB",
    "*-bare      the first three against MinimalWindow.exe, an empty window of the same",
    "            size; context, no goal",
    "*-styled    the first three against StyledWindow.exe, that empty window with visual",
    "            styles and the common controls, as Sorvane has them; context, no goal",
    "*-other     another build of Sorvane, when given, against the same floor; context",
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = 15;
    if (argc > 1) {
        runs = _wtoi(argv[1]);
        if (runs < 1) {
            std::printf("usage: sorvane_bench [RUNS [OTHER.exe]]   (RUNS >= 1, 15 by default)\n");
            return 2;
        }
    }
    // Another build of Sorvane, an earlier version say, measured in the same turns.
    const std::wstring otherGiven = argc > 2 ? argv[2] : L"";
    const std::wstring bin = BenchFolder();
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder =
        Join(temp, L"sorvane-bench-" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring records = Join(folder, L"records");
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(records.c_str(), nullptr);
    const std::wstring sorvane = Join(folder, L"Sorvane.exe");
    const std::wstring encoder = Join(folder, L"lame.exe");
    if (!CopyFileW(Join(bin, L"Sorvane.exe").c_str(), sorvane.c_str(), FALSE) ||
        !CopyFileW(Join(bin, L"stand_in.exe").c_str(), encoder.c_str(), FALSE)) {
        Fail("cannot copy Sorvane.exe and stand_in.exe into a folder of their own");
    }
    const std::wstring other = Join(folder, L"Other.exe");
    if (!otherGiven.empty() && !CopyFileW(otherGiven.c_str(), other.c_str(), FALSE)) {
        Fail("cannot copy the other Sorvane.exe beside this one");
    }
    SetEnvironmentVariableW(L"SORVANE_RECORD_DIR", records.c_str());

    // One start of Sorvane, not timed, gives the scale of its window; the baselines are told it,
    // so that they have the same client area, and the floor the same places, without measuring
    // captions themselves.
    SIZE sorvaneClient{};
    {
        const Running program(sorvane, L" C:\\in.wav", folder);
        sorvaneClient = program.ClientSize();
    }
    const int scale = ScaleOfClient(sorvaneClient);
    const std::wstring scaleArgument = scale > 0 ? L" " + std::to_wstring(scale) : L"";

    Series measured{sorvane, L" C:\\in.wav", folder, {}, {}, {}, {}};
    Series controls{Join(bin, L"ControlsWindow.exe"), scaleArgument, bin, {}, {}, {}, {}};
    Series bare{Join(bin, L"MinimalWindow.exe"), scaleArgument, bin, {}, {}, {}, {}};
    Series styled{Join(bin, L"StyledWindow.exe"), scaleArgument, bin, {}, {}, {}, {}};
    Series earlier{other, L" C:\\in.wav", folder, {}, {}, {}, {}};
    std::vector<Series*> all{&controls, &bare, &styled, &measured};
    if (!otherGiven.empty()) {
        all.push_back(&earlier);
    }
    const std::size_t programs = all.size();
    for (Series* series : all) {
        Running warmUp(series->exe, series->arguments, series->folder); // not timed
    }
    for (int i = 0; i < runs; ++i) {
        // Each run starts with another program, so that none always follows the same one.
        for (std::size_t turn = 0; turn < programs; ++turn) {
            all[(static_cast<std::size_t>(i) + turn) % programs]->Measure();
        }
    }

    std::vector<double> launchDirect, launchSorvane;
    {
        Running program(sorvane, L" C:\\in.wav", folder);
        for (int i = 0; i < runs; ++i) {
            if (i % 2 == 0) {
                launchDirect.push_back(DirectLaunchMs(encoder, records));
                launchSorvane.push_back(SorvaneLaunchMs(program.window, records));
            } else {
                launchSorvane.push_back(SorvaneLaunchMs(program.window, records));
                launchDirect.push_back(DirectLaunchMs(encoder, records));
            }
        }
    }

    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(sorvane.c_str(), GetFileExInfoStandard, &attributes)) {
        Fail("cannot read the size of Sorvane.exe");
    }
    const double exeKb =
        static_cast<double>((static_cast<ULONGLONG>(attributes.nFileSizeHigh) << 32) |
                            attributes.nFileSizeLow) /
        1024.0;
    WIN32_FILE_ATTRIBUTE_DATA otherAttributes{};
    GetFileAttributesExW(other.c_str(), GetFileExInfoStandard, &otherAttributes);

    // The figures with goals first, then the empty windows' for context.
    std::vector<Figure> figures;
    const auto addStartup = [&](const std::string& suffix, const Series& baseline, double goal) {
        figures.push_back({"startup" + suffix, "ms", Median(measured.visible),
                           Median(baseline.visible), goal, false});
        figures.push_back({"inputidle" + suffix, "ms", Median(measured.inputIdle),
                           Median(baseline.inputIdle), goal, false});
        figures.push_back({"workingset" + suffix, "KB", Median(measured.workingSet),
                           Median(baseline.workingSet), goal, false});
    };
    addStartup("", controls, 1.05);
    figures.push_back({"launch", "ms", Median(launchSorvane), Median(launchDirect), 1.2, false});
    figures.push_back({"exesize", "KB", exeKb, 256.0, 1.0, true});
    addStartup("-bare", bare, 0);
    addStartup("-styled", styled, 0);
    if (!otherGiven.empty()) { // the other build, as Sorvane, against the same floor
        figures.push_back(
            {"startup-other", "ms", Median(earlier.visible), Median(controls.visible), 0, false});
        figures.push_back({"inputidle-other", "ms", Median(earlier.inputIdle),
                           Median(controls.inputIdle), 0, false});
        figures.push_back({"workingset-other", "KB", Median(earlier.workingSet),
                           Median(controls.workingSet), 0, false});
        figures.push_back(
            {"exesize-other", "KB", otherAttributes.nFileSizeLow / 1024.0, 256.0, 0, true});
    }

    std::printf("%d runs each; every time is the median of the runs, the programs taking turns\n",
                runs);
    std::printf("every window's client area: %ldx%ld pixels, Sorvane's (its layout at %d pixels "
                "per inch)\n",
                sorvaneClient.cx, sorvaneClient.cy, scale);
    if (measured.client.cx != controls.client.cx || measured.client.cy != controls.client.cy) {
        std::printf("note: the client areas differ: Sorvane %ldx%ld, ControlsWindow %ldx%ld\n",
                    measured.client.cx, measured.client.cy, controls.client.cx, controls.client.cy);
    }
    std::printf("\n%-18s %14s %14s %7s %6s\n", "figure", "Sorvane", "baseline", "ratio", "goal");
    for (const Figure& f : figures) {
        std::printf("%-18s %11.1f %-2s %11.1f %-2s %7.2f", f.name.c_str(), f.subject, f.unit,
                    f.baseline, f.unit, f.subject / f.baseline);
        if (f.goal > 0) {
            std::printf(" %6.2f\n", f.goal);
        } else {
            std::printf(" %6s\n", "-");
        }
    }
    std::printf("\n");
    for (const char* line : kLegend) {
        std::printf("%s\n", line);
    }
    std::printf("\n");
    for (const Figure& f : figures) {
        if (f.goal > 0) {
            const double ratio = f.subject / f.baseline;
            const bool ok = f.exact ? ratio <= f.goal : Round2(ratio) <= f.goal;
            std::printf("%s ratio=%.2f goal=%.2f %s\n", f.name.c_str(), Round2(ratio), f.goal,
                        ok ? "ok" : "over");
        }
    }
    std::fflush(stdout);

    // Removes the folder of copies and records.
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(Join(records, L"*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW(Join(records, data.cFileName).c_str());
        } while (FindNextFileW(search, &data));
        FindClose(search);
    }
    RemoveDirectoryW(records.c_str());
    DeleteFileW(sorvane.c_str());
    DeleteFileW(encoder.c_str());
    DeleteFileW(other.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
