# 64-bit Windows programs cross-built on Debian with MinGW-w64 (the g++-mingw-w64-x86-64-posix
# package), and run under Wine wherever the build runs them (tests, test discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tamsel_target x86_64-w64-mingw32)
# The posix flavour: its C++ library has std::thread and the other thread facilities.
set(CMAKE_C_COMPILER ${tamsel_target}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tamsel_target}-g++-posix)
set(CMAKE_RC_COMPILER ${tamsel_target}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tamsel_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, the C++ and thread runtimes too: an .exe needs no MinGW DLL beside
# it, only the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Wine in a prefix of the build's own, made on first use (see run-under-wine).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine ${CMAKE_BINARY_DIR}/wine)
