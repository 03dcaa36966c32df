#include "Form1.h"

#include "Accessible.h"
#include "Captions.h"
#include "CommandLine.h"
#include "EncoderCommand.h"
#include "FileDialogs.h"
#include "Layout.h"

#include <string>

namespace sorvane {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU; // fixed single border
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr wchar_t kCaption[] = L"Sorvane MP3 Encoder Interface";

UniqueFont CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        return UniqueFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    }
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

bool IsPushButton(HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(className, L"BUTTON") == 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// What the quality slider says of a level, in the form that Spoken takes.
std::optional<std::u16string> QualityWords(std::int32_t level) {
    return SpokenQuality(level);
}

// The window's UI font for a DPI, the scale at which every caption fits in it, and the size the
// window takes at that scale.
struct Fit {
    UniqueFont font;
    Scale scale;
    SIZE size;
};

Fit FitFor(UINT dpi) {
    Fit fit{CreateMessageFont(dpi), {}, {}};
    fit.scale = MeasureScale(fit.font.get(), dpi);
    RECT rect{0, 0, fit.scale.Pixels(kClientWidthTwips), fit.scale.Pixels(kClientHeightTwips)};
    AdjustWindowRectExForDpi(&rect, kStyle, FALSE, kExStyle, dpi);
    fit.size = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    return fit;
}

// The window has one size. A command to show it maximized (a shortcut set to "Run:
// Maximized", start /max) shows it at that size instead, and minimized stays minimized.
// SW_RESTORE shows a hidden window as SW_SHOWNORMAL does; but a program's first ShowWindow
// takes SW_SHOWNORMAL or SW_SHOW as the show command of its start-up information, which may
// be the maximized one, and leaves SW_RESTORE as it is.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-showwindow
int ShowCommandFor(int given) {
    switch (given) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        return given;
    default:
        return SW_RESTORE;
    }
}

} // namespace

Form1::Form1(std::u16string startupArgument) : startupArgument_(std::move(startupArgument)) {}

DWORD Form1::Show(HINSTANCE instance, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = SORVANE_WINDOW_CLASS;
    if (!RegisterClassExW(&windowClass)) {
        return GetLastError();
    }
    // The hidden window is created at the system's default place; from then on the DPI of
    // the monitor it will open on is known, so every control is created once, at its final
    // place and with its font, before anything is shown.
    if (!CreateWindowExW(kExStyle, SORVANE_WINDOW_CLASS, kCaption, kStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         this)) {
        return GetLastError();
    }
    Fit fit = FitFor(GetDpiForWindow(hwnd_));
    SetWindowPos(hwnd_, nullptr, 0, 0, fit.size.cx, fit.size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    font_ = std::move(fit.font);
    // A screen reader says each slider's position in the words shown beside it, and of each
    // "Enable" box what it enables, which only its frame's caption tells.
    const auto item = [this](int id) { return Item(id).Handle(); };
    if (!CreateControls(hwnd_, instance, fit.scale, font_.get()) ||
        !SpeakAs(item(ids::Slider1), {{item(ids::Label4)}, ROLE_SYSTEM_SLIDER, QualityWords}) ||
        !SpeakAs(item(ids::Slider2), {{item(ids::Label6)}, ROLE_SYSTEM_SLIDER, BitrateCaption}) ||
        !SpeakAs(item(ids::EnableQual), {{item(ids::EnableQual), item(ids::Frame2)}}) ||
        !SpeakAs(item(ids::EnableBitrate), {{item(ids::EnableBitrate), item(ids::Frame4)}})) {
        // A control refused (by a hook, say) may leave no error number: it is still a failure.
        const DWORD error = GetLastError();
        DestroyWindow(hwnd_);
        return error != 0 ? error : ERROR_INTERNAL_ERROR;
    }
    built_ = true;
    lastFocus_ = GetDlgItem(hwnd_, ids::BrowBut1);
    Form_Load();
    ShowWindow(hwnd_, ShowCommandFor(showCommand));
    UpdateWindow(hwnd_);
    return 0;
}

void Form1::Dispatch(MSG& message) {
    if (!TranslateKeys(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool Form1::TranslateKeys(MSG& message) {
    if (hwnd_ == nullptr || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) {
        return false;
    }
    // Enter presses the focused button; no button is the window's default.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        IsPushButton(message.hwnd)) {
        SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageW(hwnd_, &message) != FALSE;
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        // Per-monitor awareness of its first version (Windows 10 1607, whose manifest
        // fallback it is) scales the title bar and borders only when asked here; the second
        // version does so anyway.
        // https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-enablenonclientdpiscaling
        EnableNonClientDpiScaling(window);
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        form->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, w, l);
    }
    return form->HandleMessage(message, w, l);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM w, LPARAM l) {
    HWND window = hwnd_; // kept for DefWindowProcW: WM_NCDESTROY forgets hwnd_
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(w), HIWORD(w));
        return 0;
    case WM_HSCROLL:
        OnHScroll(reinterpret_cast<HWND>(l), LOWORD(w));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(w) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        OnActivate(true);
        return 0;
    case WM_GETDPISCALEDSIZE:
        // The size follows the new DPI's font, which may not scale exactly with the DPI; told
        // it, Windows plans a move to another monitor with it, so that the window keeps its
        // place under the cursor.
        // https://learn.microsoft.com/windows/win32/hidpi/wm-getdpiscaledsize
        *reinterpret_cast<SIZE*>(l) = FitFor(static_cast<UINT>(w)).size;
        return TRUE;
    case WM_DPICHANGED: {
        // The suggested rectangle's place, and the size answered above: Windows suggests that
        // size where it asks (Windows 10 1703 on), and before it the old size scaled, which the
        // new font may not fit.
        const auto* suggested = reinterpret_cast<const RECT*>(l);
        const POINT topLeft{suggested->left, suggested->top};
        ApplyDpi(HIWORD(w), &topLeft);
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (w == SPI_SETNONCLIENTMETRICS) { // the user chose another UI font or text size
            ApplyDpi(GetDpiForWindow(hwnd_), nullptr);
        }
        break;
    case WM_SYSCOLORCHANGE:
        // Common controls keep their own copy of the system colours, which only this
        // message, passed on by the window that hosts them, brings up to date.
        // https://learn.microsoft.com/windows/win32/gdi/wm-syscolorchange
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            SendMessageW(child, WM_SYSCOLORCHANGE, w, l);
        }
        Repaint();
        break;
    case WM_SYSCOMMAND:
        // The window keeps its size: no maximising or sizing, whatever asks for it.
        if ((w & 0xFFF0) == SC_MAXIMIZE || (w & 0xFFF0) == SC_SIZE) {
            return 0;
        }
        break;
    case WM_DESTROY:
        // A window whose building failed ends nothing: the program's start-up still has the
        // failure to show, which a quit message would close at once.
        if (built_) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, w, l);
}

void Form1::OnCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    switch (id) {
    case ids::BrowBut1:
        BrowBut1_Click();
        break;
    case ids::BrowBut2:
        BrowBut2_Click();
        break;
    case ids::StandardCh:
    case ids::CustomCh: {
        // Tab enters the option group at the selected button.
        HWND standard = GetDlgItem(hwnd_, ids::StandardCh);
        HWND custom = GetDlgItem(hwnd_, ids::CustomCh);
        const bool isStandard = id == ids::StandardCh;
        auto setTabStop = [](HWND button, bool on) {
            const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
            SetWindowLongPtrW(button, GWL_STYLE, on ? style | WS_TABSTOP : style & ~WS_TABSTOP);
        };
        setTabStop(standard, isStandard);
        setTabStop(custom, !isStandard);
        if (isStandard) {
            StandardCh_Click();
        } else {
            CustomCh_Click();
        }
        break;
    }
    case ids::Command1:
        Command1_Click();
        break;
    case ids::Command2:
        Command2_Click();
        break;
    default:
        break; // IDOK and IDCANCEL from Enter and Escape do nothing
    }
}

void Form1::OnHScroll(HWND control, int code) {
    // Dragging the thumb is the Scroll event; every other change of the value is Change.
    // https://learn.microsoft.com/windows/win32/controls/trackbar-control-reference
    const bool dragging = code == TB_THUMBTRACK;
    if (control == Slider1().Handle()) {
        dragging ? Slider1_Scroll() : Slider1_Change();
    } else if (control == Slider2().Handle()) {
        dragging ? Slider2_Scroll() : Slider2_Change();
    }
}

void Form1::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    HWND target = lastFocus_;
    if (target == nullptr || !IsWindowEnabled(target) || !IsChild(hwnd_, target)) {
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

void Form1::ApplyDpi(UINT dpi, const POINT* topLeft) {
    Fit fit = FitFor(dpi);
    SetWindowPos(hwnd_, nullptr, topLeft ? topLeft->x : 0, topLeft ? topLeft->y : 0, fit.size.cx,
                 fit.size.cy, SWP_NOZORDER | SWP_NOACTIVATE | (topLeft ? 0 : SWP_NOMOVE));
    LayOutControls(hwnd_, fit.scale, fit.font.get());
    Repaint(); // a frame does not paint its inside: what the old layout left there goes
    font_ = std::move(fit.font); // the old font goes only once no control uses it
    InputFileTxt().ShowEnd();
    OutputFileTxt().ShowEnd();
}

void Form1::Repaint() const {
    // The whole window, the boxes' borders too: it paints its background over its controls.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Form1::ReportFailure(const StartResult& result) const {
    std::wstring text;
    if (result.program.empty()) {
        text = L"Sorvane could not find " + result.name + L".\n\n";
        text += L"It looked in its own folder, in the Windows folders and in the folders on PATH. ";
        text += L"Put " + result.name + L" in one of them, such as Sorvane's own folder:\n";
        text += OwnFolder() + L"\n\n";
        text += L"If you have just added a folder to PATH, close Sorvane and start it again: ";
        text += L"it sees only the folders that were on PATH when it started.\n\n";
    } else {
        text = L"Sorvane could not start\n" + result.program + L"\n\n";
    }
    text += ErrorReport(result.error, result.program);
    MessageBoxW(hwnd_, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

void Form1::Form_Load() {
    if (startupArgument_.empty()) {
        return;
    }
    // A path too short to derive an output from is kept as the input, and the boxes stay
    // empty, just as when the input "Browse..." button is given one.
    if (paths_.SetInputPath(InputPathFromStartupArgument(startupArgument_))) {
        InputFileTxt().SetPath(paths_.InputPath());
        OutputFileTxt().SetPath(paths_.OutputPath());
    }
}

void Form1::BrowBut1_Click() {
    const std::optional<std::u16string> file = ShowOpenWaveDialog(hwnd_);
    if (!file) {
        return; // cancelled or failed: nothing changes
    }
    if (paths_.SetInputPath(*file)) {
        InputFileTxt().SetPath(paths_.InputPath());
        OutputFileTxt().SetPath(paths_.OutputPath());
    }
}

void Form1::BrowBut2_Click() {
    const std::optional<std::u16string> file = ShowSaveMp3Dialog(hwnd_);
    if (!file) {
        return;
    }
    paths_.SetOutputPath(*file);
    OutputFileTxt().SetPath(paths_.OutputPath());
}

void Form1::SetCustomFramesEnabled(bool enabled) const {
    for (const int frame : {ids::Frame2, ids::Frame3, ids::Frame4}) {
        SetFrameEnabled(hwnd_, frame, enabled);
    }
}

void Form1::StandardCh_Click() {
    SetCustomFramesEnabled(false);
    EnableQual().SetValue(0);
    EnableBitrate().SetValue(0);
    DisableFiltering().SetValue(0);
}

void Form1::CustomCh_Click() {
    SetCustomFramesEnabled(true);
}

void Form1::Slider1_Change() {
    QualityDesc().SetText(QualityCaption(Slider1().Value()));
}

void Form1::Slider1_Scroll() {
    Slider1_Change();
}

void Form1::Slider2_Change() {
    if (const std::optional<std::u16string> caption = BitrateCaption(Slider2().Value())) {
        BitrateDesc().SetText(*caption);
    }
}

void Form1::Slider2_Scroll() {
    Slider2_Change();
}

void Form1::Command1_Click() {
    EncoderSettings settings;
    settings.Mode = StandardCh().Value() ? EncoderMode::StandardMode : EncoderMode::CustomMode;
    if (settings.Mode == EncoderMode::CustomMode) {
        settings.QualityEnabled = EnableQual().Value() == BST_CHECKED;
        if (settings.QualityEnabled) {
            settings.QualityLevel = Slider1().Value();
        }
        settings.BitrateEnabled = EnableBitrate().Value() == BST_CHECKED;
        if (settings.BitrateEnabled) {
            settings.BitratePosition = Slider2().Value();
        }
        settings.FilteringDisabled = DisableFiltering().Value() == BST_CHECKED;
    }
    settings.ExtraOptions = Text1().Text();
    settings.InputPath = paths_.InputPath();
    settings.OutputPath = paths_.OutputPath();
    if (const StartResult result = LaunchEncoder(BuildEncoderCommand(settings)); result.error) {
        ReportFailure(result);
    }
}

void Form1::Command2_Click() {
    // Notepad starts beside the encoder that "Start Encoding" would run, or the real one that
    // its shim or link stands for, so that the USAGE there opens wherever Sorvane was started
    // from; with no encoder, in Sorvane's own folder.
    std::wstring folder = RealProgram(FindProgram(ToWide(kEncoderProgram)));
    folder = folder.empty() ? OwnFolder() : folder.substr(0, folder.find_last_of(L"\\/") + 1);
    if (const StartResult result = StartProcess(u"notepad.exe USAGE", folder.c_str());
        result.error) {
        ReportFailure(result);
    }
}

} // namespace sorvane
