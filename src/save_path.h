// Building paths into filename_buffer: the base-folder lookup, the length
// tests and the result codes shared by every path build.
#ifndef WIDESAVE_SAVE_PATH_H
#define WIDESAVE_SAVE_PATH_H

#include <cstddef>
#include <cstdint>

#include "module_state.h"
#include "utf16_text.h"

namespace widesave {

enum PathBuildCode : std::int32_t {
    kPathBuilt = 0,
    kNoBaseFolder = 1,       // neither variable has a value
    kBaseFolderTooLong = 2,  // the value does not fit env_buffer
    kPathTooLong = 3,        // base + subdirectory + margin > capacity
    kPathDoesNotFit = 4,     // the formatted path does not fit
};

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
// Returns kPathBuilt or the code that ends the build.
std::int32_t begin_path(PathBuild& build, std::size_t margin);

// Moves the finished path into filename_buffer: kPathBuilt, or
// kPathDoesNotFit, leaving filename_buffer as it was.
std::int32_t end_path(PathBuild& build);

// The save directory's path into filename_buffer.
std::int32_t SaveDirectoryName();

}  // namespace widesave

#endif
