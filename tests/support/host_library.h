// Loads the library the way a host does (dlopen / LoadLibraryW) and finds
// its functions by their exported names.
#ifndef WIDESAVE_TESTS_HOST_LIBRARY_H
#define WIDESAVE_TESTS_HOST_LIBRARY_H

#include <cstdint>
#include <string>

#include "widesave.h"

struct HostLibrary {
    void* module = nullptr;
    int32_t(WIDESAVE_CALL* SetSaveSubdirectory)(const char*) = nullptr;
    int32_t(WIDESAVE_CALL* MakeSaveDirectory)() = nullptr;
    int32_t(WIDESAVE_CALL* SaveFileExist)(int32_t) = nullptr;
    char*(WIDESAVE_CALL* ReadSaveFile)(int32_t) = nullptr;
    int32_t(WIDESAVE_CALL* WriteSaveFile)(int32_t, const char*) = nullptr;
};

// Loads a fresh copy: the module state starts as it does in a new host.
// Returns an empty string on success, else what went wrong.
std::string load_library(const char* file, HostLibrary& library);
void unload_library(HostLibrary& library);
void* find_export(void* module, const char* name);

#endif
