// Slot file names and SaveFileExist.
#include "slot_file.h"

#include "exports.h"
#include "module_state.h"
#include "platform.h"
#include "save_path.h"

namespace widesave {

std::int32_t MakeSaveFileName(std::int32_t slot, std::int32_t letter) {
    PathBuild build;
    const std::int32_t code = begin_path(build, kSlotFileMargin);
    if (code != kPathBuilt) {
        return code;
    }
    append_unit(build.writer, kPathSeparator);
    append_text(build.writer, u"Save");
    append_decimal(build.writer, slot);
    append_text(build.writer, u".r");
    append_unit(build.writer, extension_variant_letters[letter]);
    append_text(build.writer, u"data");
    return end_path(build);
}

SlotProbe probe_slot(std::int32_t slot) {
    const auto letters = static_cast<std::int32_t>(u16_length(extension_variant_letters));
    for (std::int32_t i = 0; i < letters; ++i) {
        const std::int32_t code = MakeSaveFileName(slot, i);
        if (code != kPathBuilt) {
            return SlotProbe{kNoSaveFile, code, false};
        }
        const PathInfo info = platform::query_path(filename_buffer);
        if (info.kind == PathKind::file || info.kind == PathKind::unusable) {
            return SlotProbe{i, kPathBuilt, info.is_read_only};
        }
    }
    return SlotProbe{kNoSaveFile, kPathBuilt, false};
}

}  // namespace widesave

// A name that cannot be built is no save: -1, never the 'v' file's 0.
WIDESAVE_ENTRY int32_t WIDESAVE_CALL SaveFileExist(int32_t slot) {
    return widesave::probe_slot(slot).index;
}
