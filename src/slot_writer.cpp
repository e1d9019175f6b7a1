// WriteSaveFile: the bytes go to a temporary file beside the save, which is
// flushed and then put in the save's place in one step, so the previous
// save survives any failure, crash or power cut whole.
#include <cstring>

#include "exports.h"
#include "hex_codec.h"
#include "module_state.h"
#include "platform.h"
#include "save_path.h"
#include "slot_file.h"

namespace widesave {
namespace {

enum : std::int32_t {
    kWritten = 0,
    kBadText = 5,
    kCannotReplace = 6,
    kWriteFailed = 7,
};

// "Save<slot>.r<letter>temp" beside "Save<slot>.r<letter>data": the same
// length, so it fits wherever the save's path does, and never taken for a
// save by the probe. A stale one from a crash is simply overwritten.
void temporary_name(const char16_t* save_path, char16_t (&out)[kPathCapacity]) {
    const std::size_t length = u16_length(save_path);
    std::memcpy(out, save_path, (length + 1) * sizeof(char16_t));
    std::memcpy(out + length - 4, u"temp", 4 * sizeof(char16_t));
}

std::int32_t put_in_place(const char16_t* temporary, const char16_t* target) {
    unsigned waited = 0;
    for (;;) {
        const ReplaceResult result = platform::replace_file(temporary, target);
        if (result == ReplaceResult::replaced) {
            return kWritten;
        }
        if (result == ReplaceResult::failed || waited >= kReplaceRetryBudgetMs) {
            return kCannotReplace;
        }
        platform::pause_ms(kReplaceRetryStepMs);
        waited += kReplaceRetryStepMs;
    }
}

// Writes count bytes as the new content of the file named by target.
std::int32_t store(const char16_t* target, const unsigned char* bytes, std::size_t count) {
    const PathInfo existing = platform::query_path(target);
    if (existing.exists && existing.is_read_only) {
        return kCannotReplace;
    }
    char16_t temporary[kPathCapacity];
    temporary_name(target, temporary);
    const File file = platform::create_for_writing(temporary);
    if (file == kNoFile) {
        return kCannotReplace;
    }
    std::size_t done = 0;
    const bool written = platform::write_bytes(file, bytes, count, done) && done == count &&
                         platform::flush_to_disk(file);
    platform::close_file(file);
    const std::int32_t code = written ? put_in_place(temporary, target) : kWriteFailed;
    if (code != kWritten) {
        platform::remove_file(temporary);
    }
    return code;
}

}  // namespace
}  // namespace widesave

using namespace widesave;

WIDESAVE_ENTRY int32_t WIDESAVE_CALL WriteSaveFile(int32_t slot, const char* text) {
    // A slot's first save is its 'x' file; once one exists, saves go to the
    // preferred 'v' file.
    const SlotProbe probe = probe_slot(slot);
    if (probe.build_code != kPathBuilt) {
        return probe.build_code;
    }
    if (probe.index != kNoSaveFile) {
        const std::int32_t code = MakeSaveFileName(slot, extension_variant_letters[0]);
        if (code != kPathBuilt) {
            return code;
        }
    }
    // The whole text is measured, tested and decoded before any file is
    // touched.
    std::size_t length = 0;
    const bool hex = measure_hex_text(text, length) && length % 2 == 0;
    unsigned char* bytes = hex ? hex2bytes(text, length / 2) : nullptr;
    if (bytes == nullptr) {
        return kBadText;
    }
    const std::int32_t code = store(filename_buffer, bytes, length / 2);
    platform::release(bytes);
    return code;
}
