# Cross-compiling the Windows build on Debian with mingw-w64 (32-bit).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TANGREL_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
