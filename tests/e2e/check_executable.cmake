# Checks the executable, unrun, for what a person on Windows would miss and Wine does not show.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE rc RESULT_VARIABLE unread)
# It imports only DLLs that every Windows has (comdlg32, say, is loaded for a file dialog).
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
string(TOLOWER "${imports}" imports)
string(REGEX REPLACE "dll name: (kernel32|user32|gdi32|comctl32|msvcrt)\\.dll;?" "" others
    "${imports}")
if(failed OR unread OR NOT imports OR others)
    message(FATAL_ERROR "${EXE} is unreadable or imports what Windows may not have: ${others}")
endif()
# The project's version in the version record and the manifest; the file's properties show it
# as programs of its kind do, minor in two digits and build in four: 2.3.0.45 as "2.03.0045".
string(REGEX REPLACE "^([0-9]+)\\.([0-9]+)\\.[0-9]+\\.([0-9]+)$" "\\1.000\\2.0000\\3" text
    ${VERSION})
string(REGEX REPLACE "\\.0*([0-9][0-9])\\.0*([0-9][0-9][0-9][0-9])$" ".\\1.\\2" text ${text})
string(REPLACE "." ", " numbers ${VERSION})
foreach(expected "FILEVERSION ${numbers}" "PRODUCTVERSION ${numbers}" "\"FileVersion\", \"${text}\""
        "\"ProductVersion\", \"${text}\"" "name=\"\"Sorvane\"\" version=\"\"${VERSION}\"\""
        "SetDefaultDllDirectories" # DLLs loaded later come from System32, never a planted copy
        "TERMINAL_SERVICE_AWARE" # a Remote Desktop host gives it the real Windows folder
        # Visual styles: controls drawn as every other program's, not as in Windows 2000.
        "Common-Controls\"\" version=\"\"6.0.0.0\"\""
        # No elevation prompt, and no compatibility layer that lies about the Windows version.
        "level=\"\"asInvoker\"\""
        "<supportedOS Id=\"\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"\"/>"
        "EnableNonClientDpiScaling" # on Windows 10 1607 the title bar scales with the monitor
        # Crisp at any scale on each monitor: per monitor (v2 where Windows 10 has it).
        ">true/pm</dpiAware>"
        ">PerMonitorV2, PerMonitor</dpiAwareness>"
        ">true</longPathAware>") # paths longer than 260 characters
    string(FIND "${dump}${rc}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${EXE} lacks ${expected}")
    endif()
endforeach()
