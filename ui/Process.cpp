#include "Process.h"

#include "ProgramSearch.h"
#include "Win32.h"

#include <vector>

namespace sorvane {

namespace {

// The text that a Windows function writes into a buffer; it returns the length written, or
// the size it needs (or the whole size, when it truncates) if the buffer is too small.
template <typename Fill> std::wstring FilledText(Fill fill) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length > text.size() ? length : text.size() * 2);
    }
}

// The program that a command line starts, as it names it: its first word, without quotes.
std::wstring_view ProgramName(std::wstring_view commandLine) {
    const bool quoted = !commandLine.empty() && commandLine[0] == L'"';
    return quoted ? commandLine.substr(1, commandLine.find(L'"', 1) - 1)
                  : commandLine.substr(0, commandLine.find_first_of(L" \t"));
}

} // namespace

std::wstring OwnFolder() {
    std::wstring own =
        FilledText([](wchar_t* b, DWORD n) { return GetModuleFileNameW(nullptr, b, n); });
    own.resize(own.find_last_of(L'\\') + 1);
    return own;
}

std::wstring FindProgram(std::wstring_view commandLine) {
    const std::wstring_view name = ProgramName(commandLine);
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring_view::npos) {
        return std::wstring(name); // nothing to look for, or a path taken as the caller wrote it
    }
    const std::wstring path =
        FilledText([](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(L"PATH", b, n); });
    for (const std::u16string& folder :
         SearchFolders({FromWide(OwnFolder()), FromWide(FilledText(GetSystemDirectoryW)),
                        FromWide(FilledText(GetWindowsDirectoryW))},
                       FromWide(path))) {
        const std::wstring file = ToWide(folder).append(name);
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return file;
        }
    }
    return {};
}

std::wstring RealProgram(const std::wstring& found) {
    if (found.empty()) {
        return found;
    }
    std::wstring program = found;
    // A Scoop shim, such as lame.exe, starts the program that the UTF-8 .shim file of its name
    // beside it names.
    const std::size_t dot = found.rfind(L'.');
    const std::wstring shimFile =
        (dot != found.npos && dot > found.find_last_of(L"\\/") ? found.substr(0, dot) : found) +
        L".shim";
    const UniqueHandle shim(CreateFileW(shimFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<char> bytes(65536); // a shim file is a few lines long
    DWORD read = 0;
    if (shim.get() != INVALID_HANDLE_VALUE &&
        ReadFile(shim.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        std::wstring text(read, L'\0');
        text.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(),
                                static_cast<int>(read))));
        if (const std::u16string target = ShimTarget(FromWide(text)); !target.empty()) {
            program = ToWide(target);
        }
    }
    // A symbolic link, or a junction on the way, leads to the file's final path.
    const UniqueHandle file(
        CreateFileW(program.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return found; // a shim that names no file tells nothing
    }
    std::wstring path = FilledText([&file](wchar_t* b, DWORD n) {
        return GetFinalPathNameByHandleW(file.get(), b, n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (path.rfind(LR"(\\?\UNC\)", 0) == 0) {
        path.replace(0, 8, LR"(\\)");
    } else if (path.rfind(LR"(\\?\)", 0) == 0) {
        path.erase(0, 4);
    }
    return path.empty() ? program : path;
}

StartResult StartProcess(std::u16string_view commandLine, const wchar_t* folder) {
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring buffer = ToWide(commandLine);
    StartResult result{0, std::wstring(ProgramName(buffer)), FindProgram(buffer)};
    if (result.program.empty()) {
        result.error = ERROR_FILE_NOT_FOUND;
    } else if (commandLine.size() > kMaxCommandLine) {
        result.error = ERROR_FILENAME_EXCED_RANGE;
    } else if (commandLine.find(u'\0') != std::u16string_view::npos) {
        result.error = ERROR_INVALID_PARAMETER; // it would end the command early
    }
    if (result.error != 0) {
        return result;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    // The program is named by its full path; the command line is passed on exactly as it is,
    // so the program still sees its plain name as its first word.
    if (!CreateProcessW(result.program.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT, nullptr, folder, &startup,
                        &info)) {
        const DWORD error = GetLastError();
        result.error = error != 0 ? error : ERROR_GEN_FAILURE;
        return result;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    return result;
}

StartResult LaunchEncoder(std::u16string_view command) {
    StartResult result = StartProcess(command);
    if (result.error == 0) {
        MessageBeep(MB_OK);
    }
    return result;
}

} // namespace sorvane
