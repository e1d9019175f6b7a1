# Cross-compiles the 32-bit Windows DLL with MinGW-w64 and runs its tests under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WIDESAVE_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
