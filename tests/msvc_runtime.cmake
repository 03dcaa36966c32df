# The Visual Studio build, configured (no Windows SDK here to build it) for clang-cl, which takes
# MSVC's options, compiles every source for one C run-time, built in: -MT, never -MD.
find_program(CL NAMES clang-cl clang-cl-19 clang-cl-18 clang-cl-17 clang-cl-16 clang-cl-14 REQUIRED)
find_program(RC NAMES llvm-rc llvm-rc-19 llvm-rc-18 llvm-rc-17 llvm-rc-16 llvm-rc-14 REQUIRED)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK} -DCMAKE_SYSTEM_NAME=Windows
    -DCMAKE_CXX_COMPILER=${CL} -DCMAKE_RC_COMPILER=${RC} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY -DSORVANE_TESTS=OFF
    RESULT_VARIABLE failed OUTPUT_QUIET)
file(READ ${WORK}/compile_commands.json commands)
string(REGEX MATCHALL "[-/]M[TD]d? " runtimes "${commands}")
list(REMOVE_DUPLICATES runtimes)
if(failed OR NOT runtimes STREQUAL "-MT ")
    message(FATAL_ERROR "The Visual Studio build compiles for the run-times ${runtimes}")
endif()
