// SetSaveSubdirectory and MakeSaveDirectory.
#include "exports.h"
#include "module_state.h"
#include "platform.h"
#include "save_path.h"

using namespace widesave;

WIDESAVE_ENTRY int32_t WIDESAVE_CALL SetSaveSubdirectory(const char* name) {
    return set_subdirectory(name);
}

WIDESAVE_ENTRY int32_t WIDESAVE_CALL MakeSaveDirectory(void) {
    const std::int32_t code = SaveDirectoryName();
    if (code != WIDESAVE_OK) {
        return code;
    }
    switch (platform::create_directory(filename_buffer)) {
        case DirectoryResult::created:
            return 0;
        case DirectoryResult::name_exists:
            // A plain file in the way would make every later write fail.
            return platform::query_path(filename_buffer).kind == PathKind::directory
                       ? 0
                       : WIDESAVE_DIRECTORY_NOT_MADE;
        case DirectoryResult::failed:
            break;
    }
    return WIDESAVE_DIRECTORY_NOT_MADE;
}
