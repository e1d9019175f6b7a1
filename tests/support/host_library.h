// Loads the library the way a host does (dlopen / LoadLibraryW) and finds
// its functions by their exported names.
#ifndef WIDESAVE_TESTS_HOST_LIBRARY_H
#define WIDESAVE_TESTS_HOST_LIBRARY_H

#include <cstdint>
#include <string>

#include "widesave.h"

// One function pointer per export, by its name, typed as widesave.h
// declares it; the names come from the one export list (widesave.def).
struct HostLibrary {
    void* module = nullptr;
#define WIDESAVE_EXPORT(name) decltype(&::name) name = nullptr;
#include "widesave_exports.inc"
#undef WIDESAVE_EXPORT
};

// Loads a fresh copy: the module state starts as it does in a new host.
// Returns an empty string on success, else what went wrong.
std::string load_library(const char* file, HostLibrary& library);
void unload_library(HostLibrary& library);
void* find_export(void* module, const char* name);

#endif
