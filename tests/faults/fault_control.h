// The test build of the library (widesave_faults) adds these exports to the
// five. Through them a test fails any system call the library makes, stops
// the process before one as a crash would, and sees which calls were made
// and what the library holds. The calls are named in src/system_calls.h.
#ifndef WIDESAVE_FAULT_CONTROL_H
#define WIDESAVE_FAULT_CONTROL_H

#include <stdint.h>

#include "widesave.h"

// Any system call, for widesave_fault_fail.
#define WIDESAVE_ANY_CALL (-1)
// The exit status of a process that widesave_fault_stop ended.
#define WIDESAVE_CRASH_STATUS 86

enum WidesaveStop {
    kStopExit = 0,   // the process ends there at once, as if killed
    kStopFreeze = 1  // the process stops itself (SIGSTOP) for another to look, then ends
};

#ifdef __cplusplus
extern "C" {
#endif

// After `skip` calls of that kind that run, the next `times` fail with
// `error` (an errno value, or a Win32 error code); times < 0: all of them.
// Returns 0, or -1 for an unknown call. Times 0 clears the fault.
typedef int32_t(WIDESAVE_CALL* WidesaveFaultFail)(int32_t call, int32_t skip, int32_t times,
                                                  int32_t error);
// Before the call `skip` calls from now, the process stops as `how` says.
// skip < 0 disarms it.
typedef void(WIDESAVE_CALL* WidesaveFaultStop)(int32_t skip, int32_t how);
// Clears every fault and the call log.
typedef void(WIDESAVE_CALL* WidesaveFaultReset)(void);
// How many system calls were made since the last reset; the first
// `capacity` of them are copied into `log`.
typedef int32_t(WIDESAVE_CALL* WidesaveFaultCalls)(int32_t* log, int32_t capacity);
// Files the library has open now, and heap blocks it allocated and has not
// released (a text handed to the host counts until it is passed to
// widesave_fault_free).
typedef void(WIDESAVE_CALL* WidesaveFaultCounters)(int32_t* open_files, int32_t* live_blocks);
// The most heap bytes the library held at once since the last restart,
// beyond what it held then. Restarts when `restart` is non-zero.
typedef int64_t(WIDESAVE_CALL* WidesaveFaultPeakHeap)(int32_t restart);
// Frees a block the library handed to the host, as the host would.
typedef void(WIDESAVE_CALL* WidesaveFaultFree)(void* block);

#ifdef __cplusplus
}
#endif

#endif
