# What the two MinGW-w64 toolchain files share: posix threads, static runtimes so the .exe files
# need no DLL beyond those of Windows, tests run through Wine. Set TESS_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TESS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESS_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under the project's own Wine wrapper (quiet, its own prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
