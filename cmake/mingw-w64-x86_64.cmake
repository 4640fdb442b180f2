# Cross-build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
# The -posix compilers are named on purpose: the win32 thread model has no
# std::thread, and when both are installed it may own the plain names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCENARIO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCENARIO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCENARIO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SCENARIO_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW tree only: the host's /usr/include
# holds glibc headers that would break a Windows build.
set(CMAKE_FIND_ROOT_PATH /usr/${SCENARIO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime (libstdc++, libgcc, winpthread) goes into the .exe, so that it
# runs on a machine with no MinGW DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run the .exe files under Wine: cmake/windows.cmake sets the emulator.
