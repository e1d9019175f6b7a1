// Slot file names and SaveFileExist.
#include "slot_file.h"

#include "exports.h"
#include "platform.h"
#include "save_path.h"

namespace widesave {

std::int32_t MakeSaveFileName(std::int32_t slot, char16_t letter) {
    PathBuild build;
    const std::int32_t code = begin_path(build, kSlotFileMargin);
    if (code != kPathBuilt) {
        return code;
    }
    append_unit(build.writer, kPathSeparator);
    append_text(build.writer, u"Save");
    append_decimal(build.writer, slot);
    append_text(build.writer, u".r");
    append_unit(build.writer, letter);
    append_text(build.writer, u"data");
    return end_path(build);
}

SlotProbe probe_slot(std::int32_t slot) {
    for (std::size_t i = 0; i < u16_length(extension_variant_letters); ++i) {
        const std::int32_t code = MakeSaveFileName(slot, extension_variant_letters[i]);
        if (code != kPathBuilt) {
            return SlotProbe{kNoSaveFile, code};
        }
        const PathInfo info = platform::query_path(filename_buffer);
        if (info.exists && !info.is_directory) {
            return SlotProbe{static_cast<std::int32_t>(i), kPathBuilt};
        }
    }
    return SlotProbe{kNoSaveFile, kPathBuilt};
}

}  // namespace widesave

// A name that cannot be built is no save: -1, never the 'v' file's 0.
WIDESAVE_ENTRY int32_t WIDESAVE_CALL SaveFileExist(int32_t slot) {
    return widesave::probe_slot(slot).index;
}
