// Slot file names and the probe for which letter's file a slot has.
#ifndef WIDESAVE_SLOT_FILE_H
#define WIDESAVE_SLOT_FILE_H

#include <cstdint>

namespace widesave {

constexpr std::int32_t kNoSaveFile = -1;

// Index of the letter a slot's first save is written under (the last, 'x'),
// and of the one every later save is written under (the first, 'v').
constexpr std::int32_t kFirstSaveLetter = 1;
constexpr std::int32_t kLaterSaveLetter = 0;

// "<base><sep><subdir><sep>Save<slot>.r<letter>data" into filename_buffer,
// letter being an index into extension_variant_letters; a path-build code.
std::int32_t MakeSaveFileName(std::int32_t slot, std::int32_t letter);

struct SlotProbe {
    std::int32_t index;       // letter index of the entry found, or kNoSaveFile
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
