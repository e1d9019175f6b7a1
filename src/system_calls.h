// Every call the platform layer makes into the operating system or the C
// runtime's heap goes through call_system(), named by what it is for. In the
// library nothing watches them; the test build installs hooks here to fail
// any one call with an error of its choosing, to stop the process before it,
// and to count the files and heap blocks the library holds. One list, one
// gate: the same seam serves fault sweeps and crash sweeps on every platform.
#ifndef WIDESAVE_SYSTEM_CALLS_H
#define WIDESAVE_SYSTEM_CALLS_H

#include <cstddef>
#include <cstdint>

namespace widesave {

// Not every platform makes every call; the comments name the POSIX and the
// Win32 function behind each.
enum class SystemCall : std::int32_t {
    query_path,        // stat / GetFileAttributesW
    query_link,        // lstat / -
    make_directory,    // mkdir / CreateDirectoryW
    open_directory,    // open(O_DIRECTORY) / -
    lock_directory,    // flock / -
    flush_directory,   // fsync of the directory / -
    open_existing,     // open(O_RDONLY) / CreateFileW(OPEN_EXISTING)
    file_status,       // fstat / GetFileSizeEx
    read,              // read / ReadFile
    clear_attributes,  // - / SetFileAttributesW
    remove,            // unlink / DeleteFileW
    create_new,        // open(O_CREAT|O_EXCL) / CreateFileW(CREATE_NEW)
    write,             // write / WriteFile
    flush,             // fsync / FlushFileBuffers
    rename,            // rename / SetFileInformationByHandle(FileRenameInfo)
    discard,           // - / SetFileInformationByHandle(FileDispositionInfo)
    close,             // close / CloseHandle
    pause,             // nanosleep / Sleep
    allocate,          // malloc
    count
};

enum class Resource : std::int32_t { file, heap_block };

struct SystemCallHooks {
    // Before each call. True fails it: the hook has set errno (or the
    // thread's last error) to the error the caller then sees.
    bool (*refuse)(SystemCall call);
    // After a file was opened or a heap block allocated (acquired), and
    // before one is closed or freed.
    void (*track)(Resource resource, std::intptr_t id, std::size_t size, bool acquired);
};

// Null in the library (system_call_hooks.cpp); the test build links its own
// definition instead, constant-initialised, so the hooks see every call.
extern const SystemCallHooks* const system_call_hooks;

// Runs call() unless a hook refuses it; then gives failure instead.
template <typename Result, typename Call>
Result call_system(SystemCall which, Result failure, Call&& call) {
    if (system_call_hooks != nullptr && system_call_hooks->refuse(which)) {
        return failure;
    }
    return call();
}

inline void track_resource(Resource resource, std::intptr_t id, std::size_t size, bool acquired) {
    if (system_call_hooks != nullptr) {
        system_call_hooks->track(resource, id, size, acquired);
    }
}

}  // namespace widesave

#endif
