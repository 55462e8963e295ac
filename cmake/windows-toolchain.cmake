# Cross-compiling both programs for 64-bit Windows with Debian's MinGW-w64
# (the POSIX thread model, for std::thread), and running what the build makes
# under Wine: the tests, and scenario-tool where the build needs its output.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Nothing to install beside the programs: the C and C++ runtimes and the
# thread library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine runs the programs the build makes, with a prefix of the build's own
# (made on first use) and without its debugging chatter; the build defines
# the prefix (see CMakeLists.txt), so only the program is named here.
find_program(SCENARIO_WINE NAMES wine wine64 REQUIRED)
