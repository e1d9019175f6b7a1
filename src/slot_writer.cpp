// WriteSaveFile: the bytes go to a temporary file beside the save that only
// this writer holds, which is flushed and then put in the save's place in
// one step, so the previous save survives any failure, crash or power cut
// whole, and writers running at once never mix their bytes.
#include <cstring>

#include "exports.h"
#include "hex_codec.h"
#include "module_state.h"
#include "platform.h"
#include "save_path.h"
#include "slot_file.h"

namespace widesave {
namespace {

// "Save<slot>.r<letter>temp" beside "Save<slot>.r<letter>data": the same
// length, so it fits wherever the save's path does, and never taken for a
// save by the probe.
void temporary_name(const char16_t* save_path, char16_t (&out)[kPathCapacity]) {
    const std::size_t length = u16_length(save_path);
    std::memcpy(out, save_path, (length + 1) * sizeof(char16_t));
    std::memcpy(out + length - 4, u"temp", 4 * sizeof(char16_t));
}

// Waits are short at first: another writer usually finishes within a few
// milliseconds.
unsigned next_pause(unsigned waited) {
    return waited < 32 ? (waited < 1 ? 1 : waited) : kReplaceRetryStepMs;
}

TemporaryResult create_when_free(const char16_t* path, Temporary& temporary) {
    unsigned waited = 0;
    for (;;) {
        const TemporaryResult result = platform::create_temporary(path, temporary);
        if (result != TemporaryResult::busy || waited >= kWriterWaitBudgetMs) {
            return result;
        }
        const unsigned pause = next_pause(waited);
        platform::pause_ms(pause);
        waited += pause;
    }
}

std::int32_t put_in_place(Temporary& temporary, const char16_t* path, const char16_t* target) {
    unsigned waited = 0;
    for (;;) {
        switch (platform::replace_with_temporary(temporary, path, target)) {
            case ReplaceResult::replaced:
                return WIDESAVE_OK;
            case ReplaceResult::unflushed:
                return WIDESAVE_WRITE_FAILED;
            case ReplaceResult::failed:
                return WIDESAVE_WRITE_CANNOT_REPLACE;
            case ReplaceResult::busy:
                break;
        }
        if (waited >= kReplaceRetryBudgetMs) {
            return WIDESAVE_WRITE_CANNOT_REPLACE;
        }
        platform::pause_ms(kReplaceRetryStepMs);
        waited += kReplaceRetryStepMs;
    }
}

// Bytes decoded and written at a time: the write's only heap block,
// however large the save.
constexpr std::size_t kWritePiece = std::size_t{256} * 1024;

// Decodes the 2 * count digits of text piece by piece into the file.
bool write_decoded(File file, const char* text, std::size_t count, unsigned char* piece) {
    for (std::size_t at = 0; at < count; at += kWritePiece) {
        const std::size_t size = count - at < kWritePiece ? count - at : kWritePiece;
        std::size_t done = 0;
        if (!hex2bytes(text + 2 * at, size, piece) ||
            !platform::write_bytes(file, piece, size, done) || done != size) {
            return false;
        }
    }
    return true;
}

// Writes the count bytes that text encodes (already tested) as the new
// content of the file named by target.
std::int32_t store(const char16_t* target, const char* text, std::size_t count,
                   unsigned char* piece) {
    char16_t path[kPathCapacity];
    temporary_name(target, path);
    Temporary temporary{kNoFile, kNoFile};
    if (create_when_free(path, temporary) != TemporaryResult::created) {
        return WIDESAVE_WRITE_CANNOT_REPLACE;
    }
    const bool written = write_decoded(temporary.file, text, count, piece) &&
                         platform::flush_to_disk(temporary.file);
    const std::int32_t code =
        written ? put_in_place(temporary, path, target) : WIDESAVE_WRITE_FAILED;
    // After a replace whose flush failed the file is in place already.
    const bool in_place = written && (code == WIDESAVE_OK || code == WIDESAVE_WRITE_FAILED);
    platform::end_temporary(temporary, path, !in_place);
    return code;
}

}  // namespace
}  // namespace widesave

using namespace widesave;

WIDESAVE_ENTRY int32_t WIDESAVE_CALL WriteSaveFile(int32_t slot, const char* text) {
    if (text == nullptr) {
        return WIDESAVE_WRITE_BAD_TEXT;  // outside the contract, but a host's nil must not crash it
    }
    const SlotProbe probe = probe_slot(slot);
    if (probe.build_code != WIDESAVE_OK) {
        return probe.build_code;
    }
    const std::int32_t letter =
        probe.index == WIDESAVE_NO_SAVE_FILE ? kFirstSaveLetter : kLaterSaveLetter;
    const std::int32_t code = MakeSaveFileName(slot, letter);
    if (code != WIDESAVE_OK) {
        return code;
    }
    // The whole text is measured and tested before any file is touched.
    std::size_t length = 0;
    if (!measure_hex_text(text, length) || length % 2 != 0) {
        return WIDESAVE_WRITE_BAD_TEXT;
    }
    // The probe has just looked at the file a write replaces: the entry
    // found, when it is under the letter written.
    if (letter == probe.index && probe.is_read_only) {
        return WIDESAVE_WRITE_CANNOT_REPLACE;
    }
    const std::size_t count = length / 2;
    auto* piece =
        static_cast<unsigned char*>(platform::allocate(count == 0            ? 1
                                                       : count < kWritePiece ? count
                                                                             : kWritePiece));
    if (piece == nullptr) {
        return WIDESAVE_WRITE_BAD_TEXT;
    }
    const std::int32_t stored = store(filename_buffer, text, count, piece);
    platform::release(piece);
    return stored;
}
