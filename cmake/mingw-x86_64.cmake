# Cross-compiles the 64-bit Windows DLL with MinGW-w64 and runs its tests under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(WIDESAVE_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
