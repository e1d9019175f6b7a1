// Slot file names and the probe.
#include "slot_file.h"

#include "module_state.h"
#include "platform.h"
#include "save_path.h"

namespace widesave {

std::int32_t MakeSaveFileName(std::int32_t slot, std::int32_t letter) {
    PathBuild build;
    const std::int32_t code = begin_path(build, kSlotFileMargin);
    if (code != WIDESAVE_OK) {
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
        if (code != WIDESAVE_OK) {
            return SlotProbe{WIDESAVE_NO_SAVE_FILE, code, false};
        }
        const PathInfo info = platform::query_path(filename_buffer);
        if (info.kind == PathKind::file || info.kind == PathKind::unusable) {
            return SlotProbe{i, WIDESAVE_OK, info.is_read_only};
        }
    }
    return SlotProbe{WIDESAVE_NO_SAVE_FILE, WIDESAVE_OK, false};
}

}  // namespace widesave
