// Compiled into the test build of the library only: the hooks behind
// call_system() and the exports that steer them.
#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cstdlib>
#include <cstring>

#include "exports.h"
#include "fault_control.h"
#include "platform.h"
#include "system_calls.h"

namespace {

using widesave::Resource;
using widesave::SystemCall;

constexpr int kCalls = static_cast<int>(SystemCall::count);

struct Fault {
    std::int32_t skip;
    std::int32_t times;
    std::int32_t error;
};

// One per call, and the last for any call.
Fault faults[kCalls + 1];
std::int32_t stop_after = -1;
std::int32_t stop_how = kStopExit;
std::int32_t calls_made;
std::int32_t call_log[4096];

struct Block {
    std::intptr_t address;
    std::size_t size;
};
Block blocks[4096];
std::int32_t open_files;
std::int32_t live_blocks;
std::int64_t live_bytes;
std::int64_t peak_bytes;
std::int64_t bytes_at_restart;

// Straight to the standard error handle: the DLL imports no C runtime data.
[[noreturn]] void fail_loudly(const char* what) {
    const char prefix[] = "widesave fault build: ";
    const std::size_t length = std::strlen(what);
#if defined(_WIN32)
    DWORD written = 0;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    WriteFile(error, prefix, sizeof prefix - 1, &written, nullptr);
    WriteFile(error, what, static_cast<DWORD>(length), &written, nullptr);
#else
    (void)!write(2, prefix, sizeof prefix - 1);
    (void)!write(2, what, length);
#endif
    std::abort();
}

[[noreturn]] void crash_here() {
#if defined(_WIN32)
    TerminateProcess(GetCurrentProcess(), WIDESAVE_CRASH_STATUS);
#else
    if (stop_how == kStopFreeze) {
        (void)raise(SIGSTOP);
    }
    _exit(WIDESAVE_CRASH_STATUS);
#endif
    fail_loudly("the process outlived its crash");
}

void set_error(std::int32_t error) {
#if defined(_WIN32)
    SetLastError(static_cast<DWORD>(error));
#else
    errno = error;
#endif
}

bool strikes(Fault& fault) {
    if (fault.times == 0) {
        return false;
    }
    if (fault.skip > 0) {
        --fault.skip;
        return false;
    }
    if (fault.times > 0) {
        --fault.times;
    }
    set_error(fault.error);
    return true;
}

bool refuse(SystemCall call) {
    if (stop_after == 0) {
        crash_here();
    }
    if (stop_after > 0) {
        --stop_after;
    }
    if (calls_made < static_cast<std::int32_t>(sizeof call_log / sizeof call_log[0])) {
        call_log[calls_made] = static_cast<std::int32_t>(call);
    }
    ++calls_made;
    // Both are consulted, so that each counts its own calls.
    const bool by_kind = strikes(faults[static_cast<int>(call)]);
    const bool by_any = strikes(faults[kCalls]);
    return by_kind || by_any;
}

void track_block(std::intptr_t address, std::size_t size, bool acquired) {
    for (Block& block : blocks) {
        if (acquired && block.address == 0) {
            block = Block{address, size};
            live_bytes += static_cast<std::int64_t>(size);
            peak_bytes = live_bytes > peak_bytes ? live_bytes : peak_bytes;
            ++live_blocks;
            return;
        }
        if (!acquired && block.address == address) {
            live_bytes -= static_cast<std::int64_t>(block.size);
            block = Block{0, 0};
            --live_blocks;
            return;
        }
    }
    fail_loudly(acquired ? "too many live blocks to track" : "a block it never allocated");
}

void track(Resource resource, std::intptr_t id, std::size_t size, bool acquired) {
    if (resource == Resource::file) {
        open_files += acquired ? 1 : -1;
    } else {
        track_block(id, size, acquired);
    }
}

constexpr widesave::SystemCallHooks hooks{refuse, track};

}  // namespace

// In place of the library's null hooks (system_call_hooks.cpp).
const widesave::SystemCallHooks* const widesave::system_call_hooks = &hooks;

WIDESAVE_ENTRY WIDESAVE_API int32_t WIDESAVE_CALL widesave_fault_fail(int32_t call, int32_t skip,
                                                                      int32_t times,
                                                                      int32_t error) {
    if (call < WIDESAVE_ANY_CALL || call >= kCalls) {
        return -1;
    }
    faults[call == WIDESAVE_ANY_CALL ? kCalls : call] = Fault{skip, times, error};
    return 0;
}

WIDESAVE_ENTRY WIDESAVE_API void WIDESAVE_CALL widesave_fault_stop(int32_t skip, int32_t how) {
    stop_after = skip;
    stop_how = how;
}

WIDESAVE_ENTRY WIDESAVE_API void WIDESAVE_CALL widesave_fault_reset(void) {
    for (Fault& fault : faults) {
        fault = Fault{0, 0, 0};
    }
    stop_after = -1;
    calls_made = 0;
}

WIDESAVE_ENTRY WIDESAVE_API int32_t WIDESAVE_CALL widesave_fault_calls(int32_t* log,
                                                                       int32_t capacity) {
    for (int32_t i = 0; i < capacity && i < calls_made &&
                        i < static_cast<int32_t>(sizeof call_log / sizeof call_log[0]);
         ++i) {
        log[i] = call_log[i];
    }
    return calls_made;
}

WIDESAVE_ENTRY WIDESAVE_API void WIDESAVE_CALL widesave_fault_counters(int32_t* files,
                                                                       int32_t* allocated) {
    *files = open_files;
    *allocated = live_blocks;
}

WIDESAVE_ENTRY WIDESAVE_API int64_t WIDESAVE_CALL widesave_fault_peak_heap(int32_t restart) {
    if (restart != 0) {
        bytes_at_restart = live_bytes;
        peak_bytes = live_bytes;
    }
    return peak_bytes - bytes_at_restart;
}

WIDESAVE_ENTRY WIDESAVE_API void WIDESAVE_CALL widesave_fault_free(void* block) {
    widesave::platform::release(block);
}
