# Shared by the MinGW-w64 toolchain files, which set WIDESAVE_MINGW_TRIPLET
# (i686-w64-mingw32 or x86_64-w64-mingw32) and CMAKE_SYSTEM_PROCESSOR first.
# Builds a Windows DLL and runs its tests under Wine.
set(CMAKE_SYSTEM_NAME Windows)

# The posix-threads variant: GoogleTest needs std::mutex. The library uses
# no threads, and its runtime is linked statically either way.
set(CMAKE_C_COMPILER ${WIDESAVE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WIDESAVE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${WIDESAVE_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${WIDESAVE_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump for the target")

set(CMAKE_FIND_ROOT_PATH /usr/${WIDESAVE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages installed anywhere CMAKE_PREFIX_PATH names are found too.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Everything runs without the MinGW runtime DLLs: a host ships one file.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
