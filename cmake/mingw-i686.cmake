# Cross toolchain: 32-bit Windows programs with Debian's MinGW-w64 (posix threads), run under Wine's 32-bit loader.
# This is the programs' shipping build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DUN_TARGET_TRIPLE i686-w64-mingw32)
set(DUN_WINE_LOADER_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
