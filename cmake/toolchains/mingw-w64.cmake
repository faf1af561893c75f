# Shared part of the MinGW-w64 cross toolchains. The including file sets
# MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32),
# CMAKE_SYSTEM_PROCESSOR and MINGW_WINE_NAMES first.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: its libstdc++ has std::mutex, which GoogleTest needs.
find_program(CMAKE_C_COMPILER NAMES ${MINGW_TRIPLET}-gcc-posix ${MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_TRIPLET}-g++-posix ${MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no libgcc, libstdc++ or winpthread DLLs beside it,
# so the program runs on a bare Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib (Debian: libz-mingw-w64-dev) linked in too, not as zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# Programs built for Windows run under Wine on the build machine, where
# there is a Wine for this word size (MINGW_WINE_NAMES).
find_program(MINGW_WINE NAMES ${MINGW_WINE_NAMES} PATHS /usr/lib/wine)
if(MINGW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MINGW_WINE})
endif()
