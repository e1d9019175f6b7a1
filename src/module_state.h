// The module-wide state every operation shares: fixed-size UTF-16 buffers,
// zero-filled at load, never allocated or freed.
#ifndef WIDESAVE_MODULE_STATE_H
#define WIDESAVE_MODULE_STATE_H

#include <cstddef>

namespace widesave {

// Capacity of every path-sized buffer, terminator included. All length
// limits are measured against it.
constexpr std::size_t kPathCapacity = 260;

// The subdirectory name last set by SetSaveSubdirectory.
extern char16_t save_subdir[kPathCapacity];
// The base folder read by the last path build.
extern char16_t env_buffer[kPathCapacity];
// The current path: what the last successful path build wrote.
extern char16_t filename_buffer[kPathCapacity];
// Extension letters of slot files, in order of preference.
extern const char16_t* const extension_variant_letters;

}  // namespace widesave

#endif
