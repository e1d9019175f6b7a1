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
        return kNoBaseFolder;
    }
    // Only the variable read last counts: a LOCALAPPDATA that is set but
    // too long is an error, not a reason to try APPDATA.
    if (result >= kPathCapacity) {
        return kBaseFolderTooLong;
    }
    length = result;
    return kPathBuilt;
}

}  // namespace

std::int32_t begin_path(PathBuild& build, std::size_t margin) {
    std::size_t base_length = 0;
    const std::int32_t code = lookup_base_folder(base_length);
    if (code != kPathBuilt) {
        return code;
    }
    if (base_length + u16_length(save_subdir) + margin > kPathCapacity) {
        return kPathTooLong;
    }
    build.writer = make_writer(build.scratch, kPathCapacity);
    append_text(build.writer, env_buffer);
    append_unit(build.writer, kPathSeparator);
    append_text(build.writer, save_subdir);
    return kPathBuilt;
}

std::int32_t end_path(PathBuild& build) {
    if (!finish(build.writer)) {
        return kPathDoesNotFit;
    }
    std::memcpy(filename_buffer, build.scratch, (build.writer.length + 1) * sizeof(char16_t));
    return kPathBuilt;
}

std::int32_t SaveDirectoryName() {
    PathBuild build;
    const std::int32_t code = begin_path(build, kDirectoryMargin);
    return code != kPathBuilt ? code : end_path(build);
}

}  // namespace widesave
