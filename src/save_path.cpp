#include "save_path.h"

#include <cstring>

#include "platform.h"

namespace widesave {

namespace {

// The value's length in env_buffer, or the build's failure code.
std::int32_t lookup_base_folder(std::size_t& length) {
    std::size_t result = platform::read_environment(u"LOCALAPPDATA", env_buffer, kPathCapacity);
    if (result == 0) {
        result = platform::read_environment(u"APPDATA", env_buffer, kPathCapacity);
    }
    if (result == 0) {
        result = platform::read_default_base_folder(env_buffer, kPathCapacity);
    }
    if (result == 0) {
        return WIDESAVE_NO_BASE_FOLDER;
    }
    // Only the variable read last counts: a LOCALAPPDATA that is set but
    // too long is an error, not a reason to try APPDATA.
    if (result >= kPathCapacity) {
        return WIDESAVE_BASE_FOLDER_TOO_LONG;
    }
    length = result;
    return WIDESAVE_OK;
}

}  // namespace

std::int32_t begin_path(PathBuild& build, std::size_t margin) {
    std::size_t base_length = 0;
    const std::int32_t code = lookup_base_folder(base_length);
    if (code != WIDESAVE_OK) {
        return code;
    }
    if (base_length + u16_length(save_subdir) + margin > kPathCapacity) {
        return WIDESAVE_PATH_TOO_LONG;
    }
    build.writer = make_writer(build.scratch, kPathCapacity);
    append_text(build.writer, env_buffer);
    append_unit(build.writer, kPathSeparator);
    append_text(build.writer, save_subdir);
    return WIDESAVE_OK;
}

std::int32_t end_path(PathBuild& build) {
    if (!finish(build.writer)) {
        return WIDESAVE_PATH_DOES_NOT_FIT;
    }
    std::memcpy(filename_buffer, build.scratch, (build.writer.length + 1) * sizeof(char16_t));
    return WIDESAVE_OK;
}

std::int32_t set_subdirectory(const char* name) {
    // Outside the contract, but a host's nil must not crash it.
    if (name == nullptr) {
        return WIDESAVE_SUBDIR_NOT_UTF8;
    }
    if (std::strlen(name) > kMaxSubdirectoryBytes) {
        return WIDESAVE_SUBDIR_TOO_LONG;
    }
    // Converted aside first, so a refused name leaves the previous one.
    char16_t converted[kPathCapacity];
    if (!platform::utf8_to_utf16(name, converted, kPathCapacity)) {
        return WIDESAVE_SUBDIR_NOT_UTF8;
    }
    std::memcpy(save_subdir, converted, sizeof converted);
    return WIDESAVE_SUBDIR_SET;
}

std::int32_t SaveDirectoryName() {
    PathBuild build;
    const std::int32_t code = begin_path(build, kDirectoryMargin);
    return code != WIDESAVE_OK ? code : end_path(build);
}

}  // namespace widesave
