# Cross-compiles Kalvor for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
# (scripts/build_windows.sh does this and more).
# Everything is linked statically, so kalvor.exe runs with no DLL beside it. The posix
# variant of the compiler is the one whose C++ library has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KALVOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KALVOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALVOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KALVOR_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW tree only; programs (windres, cpp) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KALVOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The wide-character Win32 API by default (MessageBox means MessageBoxW). The C and C++
# runtimes and winpthread are linked in. -municode, which makes wWinMain the entry point, is
# set on kalvor.exe alone: the test programs (GoogleTest's among them) start at main.
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE")
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the test programs under Wine.
find_program(KALVOR_WINE wine)
if(KALVOR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KALVOR_WINE})
endif()
