#include "Process.h"

#include "Win32.h"

#include <algorithm>
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

// A full path from a drive's root or a network share. Any other folder (".", "bin", "\bin")
// depends on the current folder or drive.
bool IsAbsolute(std::wstring_view folder) {
    return (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) ||
           folder.substr(0, 2) == L"\\\\";
}

// The full path of the program that a command line starts: its first word, looked for in
// Sorvane's own folder, the system folders and then the absolute folders on PATH. Unlike
// CreateProcessW's own search, never in the current folder, where a program of the same name
// could have been planted beside the files the user opened. Empty when it is nowhere.
std::wstring FindProgram(std::wstring_view commandLine) {
    const bool quoted = !commandLine.empty() && commandLine[0] == L'"';
    const std::wstring_view name = quoted
                                       ? commandLine.substr(1, commandLine.find(L'"', 1) - 1)
                                       : commandLine.substr(0, commandLine.find_first_of(L" \t"));
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring_view::npos) {
        return std::wstring(name); // nothing to look for, or a path taken as the caller wrote it
    }
    std::wstring own =
        FilledText([](wchar_t* b, DWORD n) { return GetModuleFileNameW(nullptr, b, n); });
    own.resize(own.find_last_of(L'\\') + 1);
    std::vector<std::wstring> folders = {own, FilledText(GetSystemDirectoryW),
                                         FilledText(GetWindowsDirectoryW)};
    const std::wstring path =
        FilledText([](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(L"PATH", b, n); });
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(L';', start), path.size());
        folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    for (std::wstring& folder : folders) {
        if (!IsAbsolute(folder)) {
            continue;
        }
        if (folder.back() != L'\\' && folder.back() != L'/') {
            folder += L'\\';
        }
        folder += name;
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return folder;
        }
    }
    return {};
}

} // namespace

DWORD StartProcess(std::u16string_view commandLine) {
    if (commandLine.size() > kMaxCommandLine) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    if (commandLine.find(u'\0') != std::u16string_view::npos) {
        return ERROR_INVALID_PARAMETER; // it would end the command early
    }
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring buffer = ToWide(commandLine);
    const std::wstring program = FindProgram(buffer);
    if (program.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    // The program is named by its full path; the command line is passed on exactly as it is,
    // so the program still sees its plain name as its first word.
    if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup,
                        &info)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    return 0;
}

DWORD LaunchEncoder(std::u16string_view command) {
    const DWORD error = StartProcess(command);
    if (error == 0) {
        MessageBeep(MB_OK);
    }
    return error;
}

} // namespace sorvane
