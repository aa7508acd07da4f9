# Cross toolchain: 64-bit Windows programs with Debian's MinGW-w64 (posix threads), run under Wine's 64-bit loader.
# The same sources as the 32-bit build, for machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DUN_TARGET_TRIPLE x86_64-w64-mingw32)
set(DUN_WINE_LOADER_NAME wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
