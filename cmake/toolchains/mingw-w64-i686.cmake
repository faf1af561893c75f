# MinGW-w64, 32-bit x86: the desktop program as shipped.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
