# What the two MinGW-w64 toolchain files share; they set DUN_TARGET_TRIPLE and DUN_WINE_LOADER_NAME first.
set(CMAKE_C_COMPILER ${DUN_TARGET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUN_TARGET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DUN_TARGET_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DUN_TARGET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The loader of this architecture by its own path: /usr/bin/wine picks the 32-bit one whenever it is installed.
find_program(WINE_PROGRAM ${DUN_WINE_LOADER_NAME} PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
