// SaveFileExist: the probe, exported.
#include "exports.h"
#include "slot_file.h"

// A name that cannot be built is no save: -1, never the 'v' file's 0.
WIDESAVE_ENTRY int32_t WIDESAVE_CALL SaveFileExist(int32_t slot) {
    return widesave::probe_slot(slot).index;
}
