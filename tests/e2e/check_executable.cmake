cmake_policy(SET CMP0057 NEW)
# Checks the built executable without running it. Fails unless it imports only DLLs that
# every Windows installation has, and not comdlg32, which the program loads when a file dialog
# is first shown; unless it sets the DLL search for the DLLs it loads later
# (SetDefaultDllDirectories); unless it is terminal-server aware, so that a Remote Desktop
# session host gives it the real Windows folder; and unless its version record and its manifest
# are the product's.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
set(allowed kernel32.dll user32.dll gdi32.dll comctl32.dll msvcrt.dll)
list(LENGTH names count)
if(count EQUAL 0)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
foreach(entry IN LISTS names)
    string(REPLACE "DLL Name: " "" dll "${entry}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST allowed)
        message(FATAL_ERROR "${EXE} imports ${dll}, which is not one of Windows' own")
    endif()
    message(STATUS "imports ${dll}")
endforeach()
if(NOT dump MATCHES "SetDefaultDllDirectories")
    message(FATAL_ERROR "${EXE} does not limit the search for the DLLs it loads later")
endif()
if(NOT dump MATCHES "TERMINAL_SERVICE_AWARE") # DllCharacteristics 0x8000
    message(FATAL_ERROR "${EXE} is not marked terminal-server aware")
endif()

# The version record as Windows shows it in the file's properties, read back by windres.
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE resources RESULT_VARIABLE result)
foreach(expected "FILEVERSION 1, 4, 0, 19" "PRODUCTVERSION 1, 4, 0, 19" "BLOCK \"040904B0\""
        "VALUE \"CompanyName\", \"<none>\"" "VALUE \"FileVersion\", \"1.04.0019\""
        "VALUE \"InternalName\", \"Sorvane\"" "VALUE \"OriginalFilename\", \"Sorvane.exe\""
        "VALUE \"ProductName\", \"Sorvane Encoder Interface\""
        "VALUE \"ProductVersion\", \"1.04.0019\"" "VALUE \"Translation\", 0x409, 1200")
    string(FIND "${resources}" "${expected}" at)
    if(NOT result EQUAL 0 OR at EQUAL -1)
        message(FATAL_ERROR "the version record of ${EXE} lacks ${expected}")
    endif()
endforeach()

# The manifest, which only Windows reads: windres gives it as quoted lines, joined here with
# each run of blanks made one. Each element is looked for whole, with what holds it.
string(REGEX REPLACE "\r?\n" ";" lines "${resources}")
set(manifest "")
foreach(line IN LISTS lines)
    if(line MATCHES "^1 24 ")
        set(inside ON)
    elseif(inside AND line MATCHES "^END")
        break()
    elseif(inside AND line MATCHES "^ *\"(.*)\"$")
        string(APPEND manifest " ${CMAKE_MATCH_1}")
    endif()
endforeach()
string(REPLACE "\\n" " " manifest "${manifest}")
string(REPLACE "\"\"" "\"" manifest "${manifest}")
string(REGEX REPLACE "[ \t]+" " " manifest "${manifest}")
set(asm3 "xmlns=\"urn:schemas-microsoft-com:asm.v3\"")
set(smi "xmlns=\"http://schemas.microsoft.com/SMI")
foreach(expected
        "<dependentAssembly> <assemblyIdentity type=\"win32\""
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "<trustInfo ${asm3}> <security> <requestedPrivileges>"
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"
        "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\"> <application>"
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"
        "<application ${asm3}> <windowsSettings>"
        "<dpiAware ${smi}/2005/WindowsSettings\">true/pm</dpiAware>"
        "<dpiAwareness ${smi}/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"
        "<longPathAware ${smi}/2016/WindowsSettings\">true</longPathAware>")
    string(FIND "${manifest}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the manifest of ${EXE} lacks ${expected}")
    endif()
endforeach()
