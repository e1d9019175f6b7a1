// The faults a test build can inject at the platform layer, and the two
// extra functions such a build exports to steer and observe it.
#ifndef WIDESAVE_FAULT_POINTS_H
#define WIDESAVE_FAULT_POINTS_H

#include <stdint.h>

#include "widesave.h"

enum WidesaveFaultPoint {
    kFaultOpenForReading = 0,  // the open fails
    kFaultFileSize,            // the size cannot be read
    kFaultShortRead,           // half the bytes arrive
    kFaultCreateForWriting,    // the file cannot be created
    kFaultDiskFull,            // half the bytes are written, then the write fails
    kFaultFlush,               // the flush fails
    kFaultReplaceBusy,         // the target is held by another process
    kFaultReplaceFailed,       // the replace fails for good
    kFaultAllocate,            // the heap has no block
    kFaultPointCount
};

// After `skip` calls that pass, the next `times` calls at `point` fail
// (times < 0: all of them). Returns 0, or -1 for an unknown point.
typedef int32_t(WIDESAVE_CALL* WidesaveInjectFault)(int32_t point, int32_t skip, int32_t times);
// Files the library has open now, and heap blocks it allocated and has
// not released (blocks handed to the host count until the host frees them
// elsewhere, so callers compare differences).
typedef void(WIDESAVE_CALL* WidesaveFaultCounters)(int32_t* open_files, int32_t* live_blocks);

// The most heap bytes the library held at once since the last restart,
// beyond what it held then. Restarts when `restart` is non-zero.
typedef int64_t(WIDESAVE_CALL* WidesaveFaultPeakHeap)(int32_t restart);

#endif
