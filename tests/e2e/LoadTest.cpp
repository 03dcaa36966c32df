// Many launches, dialogs and switches in a row: every encoder starts, the window stays
// responsive, and the process holds no more handles or window objects than before.
#include "ControlIds.h"
#include "Driver.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace sorvane::ids;
using e2e::App;

struct Resources {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
};

// The system's handle table, for platforms whose GetProcessHandleCount answers 0.
DWORD HandlesInSystemTable(DWORD processId) {
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT handle;
        void* object;
        ACCESS_MASK access;
    };
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    std::vector<BYTE> buffer(1 << 16);
    ULONG needed = 0;
    LONG status;
    constexpr ULONG kSystemHandleInformation = 16;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<LONG>(0xC0000004)) { // the buffer is too small
        buffer.resize(buffer.size() * 2);
    }
    if (status < 0) {
        return 0;
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i) {
        mine += entries[i].ownerPid == processId ? 1 : 0;
    }
    return mine;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<std::pair<DWORD, DWORD>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == context->first) {
        ++context->second;
        EnumChildWindows(window, CountWindow, param);
    }
    return TRUE;
}

// USER objects, counted as the windows the process owns where GetGuiResources answers 0.
DWORD WindowsOf(DWORD processId) {
    std::pair<DWORD, DWORD> context{processId, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&context));
    return context.second;
}

Resources Measure(const App& app) {
    Resources r;
    GetProcessHandleCount(app.Process(), &r.handles);
    if (r.handles == 0) {
        r.handles = HandlesInSystemTable(app.ProcessId());
    }
    r.gdi = GetGuiResources(app.Process(), GR_GDIOBJECTS);
    r.user = GetGuiResources(app.Process(), GR_USEROBJECTS);
    if (r.user == 0) {
        r.user = WindowsOf(app.ProcessId());
    }
    // A count of nothing would make the comparison meaningless.
    EXPECT_GT(r.handles, 0u);
    EXPECT_GT(r.user, 0u);
    return r;
}

// Handles may come and go with the system's own caches; a leak of one per action would
// show as dozens here.
constexpr DWORD kTolerance = 10;

// systemHandles: what the system itself is known to keep over the same actions.
void ExpectNoGrowth(const Resources& first, const Resources& later, const char* what,
                    DWORD systemHandles = 0) {
    std::printf("%s: handles %lu -> %lu (the system's own share %lu), GDI %lu -> %lu, "
                "USER %lu -> %lu\n",
                what, first.handles, later.handles, systemHandles, first.gdi, later.gdi, first.user,
                later.user);
    EXPECT_LE(later.handles, first.handles + systemHandles + kTolerance) << what;
    EXPECT_LE(later.gdi, first.gdi + kTolerance) << what;
    EXPECT_LE(later.user, first.user + kTolerance) << what;
}

UINT_PTR CALLBACK CancelAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        PostMessageW(GetParent(dialog), WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

// How many handles the system's file dialogs keep for themselves over this many round
// trips, measured in this process with nothing of Sorvane involved. (Some versions of the
// dialogs keep one a time.)
DWORD SystemDialogHandles(int roundTrips) {
    std::wstring file(32768, L'\0');
    const auto show = [&](bool save) {
        file[0] = L'\0';
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof(dialog);
        dialog.lpstrFile = file.data();
        dialog.nMaxFile = 32768;
        dialog.lpstrFilter = L"Wave files\0*.wav\0";
        dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;
        dialog.lpfnHook = CancelAtOnce;
        save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    };
    show(false);
    show(true);
    const DWORD before = HandlesInSystemTable(GetCurrentProcessId());
    for (int i = 0; i < roundTrips; ++i) {
        show(i % 2 == 1);
    }
    const DWORD after = HandlesInSystemTable(GetCurrentProcessId());
    return after > before ? after - before : 0;
}

bool Responsive(const App& app) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(app.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

TEST(Load, TwoHundredLaunchesInABurst) {
    App app(L"C:\\Music\\burst.wav");
    ASSERT_EQ(app.Records().size(), 0u);
    app.Click(Command1);
    ASSERT_EQ(app.WaitForRecords(1).size(), 1u);
    const Resources first = Measure(app);
    for (int i = 1; i < 200; ++i) {
        PostMessageW(app.Item(Command1), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(Responsive(app));
    const auto records = app.WaitForRecords(200, 240000);
    EXPECT_EQ(records.size(), 200u);
    for (const auto& record : records) {
        EXPECT_EQ(record.commandLine, L"lame.exe -h  C:\\Music\\burst.wav C:\\Music\\burst.mp3");
    }
    EXPECT_TRUE(Responsive(app));
    EXPECT_EQ(app.Text(InputFileTxt), L"C:\\Music\\burst.wav");
    ExpectNoGrowth(first, Measure(app), "200 launches");
}

TEST(Load, DialogRoundTripsAndSwitchesLeaveNoObjectsBehind) {
    App app;
    const auto roundTrip = [&](int button) {
        app.Click(button);
        HWND dialog = app.WaitForOwnedWindow();
        ASSERT_NE(dialog, nullptr);
        e2e::PressDialogButton(dialog, IDCANCEL);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }));
    };
    roundTrip(BrowBut1);
    roundTrip(BrowBut2);
    const Resources afterFirstDialogs = Measure(app);
    for (int i = 1; i < 50; ++i) {
        roundTrip(i % 2 == 0 ? BrowBut1 : BrowBut2);
    }
    ExpectNoGrowth(afterFirstDialogs, Measure(app), "50 dialog round trips",
                   SystemDialogHandles(49));

    const auto toggle = [&] {
        app.Click(CustomCh);
        ASSERT_TRUE(e2e::WaitUntil([&] { return app.Enabled(Slider2); }));
        app.Click(StandardCh);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !app.Enabled(Slider2); }));
    };
    toggle();
    const Resources afterFirstSwitch = Measure(app);
    for (int i = 1; i < 50; ++i) {
        toggle();
    }
    ExpectNoGrowth(afterFirstSwitch, Measure(app), "50 standard/custom switches");
    EXPECT_TRUE(Responsive(app));
}

} // namespace
