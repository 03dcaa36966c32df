# Checks the built executable without running it, for what a person on Windows would suffer
# from losing and no run under Wine shows.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE rc RESULT_VARIABLE unread)
# It runs without installing anything: it imports only DLLs that every Windows has (comdlg32,
# for instance, is loaded when a file dialog first shows).
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
string(TOLOWER "${imports}" imports)
string(REGEX REPLACE "dll name: (kernel32|user32|gdi32|comctl32|msvcrt)\\.dll;?" "" others
    "${imports}")
if(failed OR unread OR NOT imports OR others)
    message(FATAL_ERROR "${EXE} is unreadable or imports what Windows may not have: ${others}")
endif()
foreach(expected
        # DLLs it loads later come from System32 only, never a planted copy beside a file.
        "SetDefaultDllDirectories"
        # A Remote Desktop host gives it the real Windows folder, not a per-user copy.
        "TERMINAL_SERVICE_AWARE"
        # The file's properties show the product's version.
        "\"FileVersion\", \"1.04.0019\""
        # Visual styles: controls drawn as every other program's, not as in Windows 2000.
        "Common-Controls\"\" version=\"\"6.0.0.0\"\""
        # No elevation prompt, and no compatibility layer that lies about the Windows version.
        "level=\"\"asInvoker\"\""
        "<supportedOS Id=\"\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"\"/>"
        # Crisp at any scale on each monitor: per monitor (v2 where Windows 10 has it).
        ">true/pm</dpiAware>"
        ">PerMonitorV2, PerMonitor</dpiAwareness>"
        # Paths longer than 260 characters.
        ">true</longPathAware>")
    string(FIND "${dump}${rc}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${EXE} lacks ${expected}")
    endif()
endforeach()
