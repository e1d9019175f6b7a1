#include "host_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

void* open_module(const char* file) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(LoadLibraryA(file));
#else
    return dlopen(file, RTLD_NOW | RTLD_LOCAL);
#endif
}

template <typename Function>
bool resolve(void* module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(find_export(module, name));
    return function != nullptr;
}

}  // namespace

void* find_export(void* module, const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
    return dlsym(module, name);
#endif
}

std::string load_library(const char* file, HostLibrary& library) {
    library = HostLibrary{};
    library.module = open_module(file);
    if (library.module == nullptr) {
        return std::string("cannot load ") + file;
    }
    bool found = true;
#define WIDESAVE_EXPORT(name) found = resolve(library.module, #name, library.name) && found;
#include "widesave_exports.inc"
#undef WIDESAVE_EXPORT
    if (!found) {
        unload_library(library);
        return std::string("missing export in ") + file;
    }
    return {};
}

void unload_library(HostLibrary& library) {
    if (library.module != nullptr) {
#if defined(_WIN32)
        FreeLibrary(static_cast<HMODULE>(library.module));
#else
        dlclose(library.module);
#endif
    }
    library = HostLibrary{};
}
