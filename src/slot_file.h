// Slot file names and the probe for which letter's file a slot has.
#ifndef WIDESAVE_SLOT_FILE_H
#define WIDESAVE_SLOT_FILE_H

#include <cstdint>

#include "widesave.h"

namespace widesave {

// Index of the letter a slot's first save is written under (the last, 'x'),
// and of the one every later save is written under (the first, 'v').
constexpr std::int32_t kFirstSaveLetter = WIDESAVE_FILE_X;
constexpr std::int32_t kLaterSaveLetter = WIDESAVE_FILE_V;

// "<base><sep><subdir><sep>Save<slot>.r<letter>data" into filename_buffer,
// letter being an index into extension_variant_letters; a path-build code.
std::int32_t MakeSaveFileName(std::int32_t slot, std::int32_t letter);

struct SlotProbe {
    std::int32_t index;       // letter index of the entry found, or WIDESAVE_NO_SAVE_FILE
    std::int32_t build_code;  // non-zero: a name could not be built
    bool is_read_only;        // the entry found is marked read-only
};

// Tries the letters in order of preference and stops at the first entry
// that is not a directory, even one that cannot be queried: an older save
// under a later letter is never taken for the current one. On return
// filename_buffer holds the path of the entry found.
SlotProbe probe_slot(std::int32_t slot);

}  // namespace widesave

#endif
