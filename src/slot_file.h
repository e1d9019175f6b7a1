// Slot file names and the probe for which letter's file a slot has.
#ifndef WIDESAVE_SLOT_FILE_H
#define WIDESAVE_SLOT_FILE_H

#include <cstdint>

namespace widesave {

constexpr std::int32_t kNoSaveFile = -1;

// "<base><sep><subdir><sep>Save<slot>.r<letter>data" into filename_buffer;
// a path-build code.
std::int32_t MakeSaveFileName(std::int32_t slot, char16_t letter);

struct SlotProbe {
    std::int32_t index;       // letter index of the file found, or kNoSaveFile
    std::int32_t build_code;  // non-zero: a name could not be built
};

// Tries the letters in order of preference. On return filename_buffer holds
// the path of the file found, or after kNoSaveFile the path built with the
// last letter; after a failed build it must not be used.
SlotProbe probe_slot(std::int32_t slot);

}  // namespace widesave

#endif
