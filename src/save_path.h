// Building paths into filename_buffer: the base-folder lookup, the length
// tests and the result codes shared by every path build.
#ifndef WIDESAVE_SAVE_PATH_H
#define WIDESAVE_SAVE_PATH_H

#include <cstddef>
#include <cstdint>

#include "module_state.h"
#include "utf16_text.h"
#include "widesave.h"

namespace widesave {

// Margins of the length test: the units a build adds besides the base
// folder and the subdirectory (separators, terminator, fixed name parts).
constexpr std::size_t kDirectoryMargin = 2;
constexpr std::size_t kSlotFileMargin = 16;

// A path under construction; it reaches filename_buffer only when it fits.
struct PathBuild {
    char16_t scratch[kPathCapacity];
    Utf16Writer writer;
};

// Looks up the base folder and writes "base<sep>subdirectory" into build.
// Returns WIDESAVE_OK or the code that ends the build.
std::int32_t begin_path(PathBuild& build, std::size_t margin);

// Moves the finished path into filename_buffer: WIDESAVE_OK, or
// WIDESAVE_PATH_DOES_NOT_FIT, leaving filename_buffer as it was.
std::int32_t end_path(PathBuild& build);

// The subdirectory name's longest UTF-8 form, in bytes.
constexpr std::size_t kMaxSubdirectoryBytes = 130;

// SetSaveSubdirectory's work: the name (UTF-8) into save_subdir; a
// WIDESAVE_SUBDIR_* code, leaving the previous name after a refusal.
std::int32_t set_subdirectory(const char* name);

// The save directory's path into filename_buffer.
std::int32_t SaveDirectoryName();

}  // namespace widesave

#endif
