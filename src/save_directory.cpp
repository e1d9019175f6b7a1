// SetSaveSubdirectory and MakeSaveDirectory.
#include <cstring>

#include "exports.h"
#include "module_state.h"
#include "platform.h"
#include "save_path.h"

namespace widesave {
namespace {

constexpr std::size_t kMaxSubdirectoryBytes = 130;

enum : std::int32_t {
    kSubdirectorySet = 0,
    kSubdirectoryTooLong = 1,
    kSubdirectoryNotUtf8 = 2,
};

constexpr std::int32_t kDirectoryNotCreated = 5;

}  // namespace
}  // namespace widesave

using namespace widesave;

WIDESAVE_ENTRY int32_t WIDESAVE_CALL SetSaveSubdirectory(const char* name) {
    if (name == nullptr) {
        return kSubdirectoryNotUtf8;  // outside the contract, but a host's nil must not crash it
    }
    if (std::strlen(name) > kMaxSubdirectoryBytes) {
        return kSubdirectoryTooLong;
    }
    // Converted aside first, so a refused name leaves the previous one.
    char16_t converted[kPathCapacity];
    if (!platform::utf8_to_utf16(name, converted, kPathCapacity)) {
        return kSubdirectoryNotUtf8;
    }
    std::memcpy(save_subdir, converted, sizeof converted);
    return kSubdirectorySet;
}

WIDESAVE_ENTRY int32_t WIDESAVE_CALL MakeSaveDirectory(void) {
    const std::int32_t code = SaveDirectoryName();
    if (code != kPathBuilt) {
        return code;
    }
    switch (platform::create_directory(filename_buffer)) {
        case DirectoryResult::created:
            return 0;
        case DirectoryResult::name_exists:
            // A plain file in the way would make every later write fail.
            return platform::query_path(filename_buffer).kind == PathKind::directory
                       ? 0
                       : kDirectoryNotCreated;
        case DirectoryResult::failed:
            break;
    }
    return kDirectoryNotCreated;
}
