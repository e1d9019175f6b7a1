// ReadSaveFile: a slot's file whole, as hex text in a new block.
#include <cstring>

#include "exports.h"
#include "hex_codec.h"
#include "module_state.h"
#include "platform.h"
#include "slot_file.h"

namespace widesave {
namespace {

enum ReadError : int {
    kNoSave = 1,
    kCannotOpen = 2,
    kCannotSize = 3,
    kNoMemoryForBytes = 4,
    kShortRead = 5,
    kNoMemoryForText = 6,
};

// Files this large would give a hex text whose length no longer fits a
// signed 32-bit count.
constexpr std::uint64_t kMaxSaveBytes = std::uint64_t{1} << 30;

constexpr char kErrorTexts[][9] = {"Error: 0", "Error: 1", "Error: 2", "Error: 3",
                                   "Error: 4", "Error: 5", "Error: 6"};

// A fresh block like any result; only when not even that can be had, the
// constant text itself, so the host never gets null.
char* error_text(ReadError error) {
    const char* text = kErrorTexts[error];
    auto* block = static_cast<char*>(platform::allocate(sizeof kErrorTexts[0]));
    if (block == nullptr) {
        return const_cast<char*>(text);
    }
    std::memcpy(block, text, sizeof kErrorTexts[0]);
    return block;
}

// The whole file into a new block of count bytes; 0 or the error.
int read_whole(File file, unsigned char*& bytes, std::size_t& count) {
    std::uint64_t size = 0;
    if (!platform::read_file_size(file, size)) {
        return kCannotSize;
    }
    if (size >= kMaxSaveBytes) {
        return kNoMemoryForBytes;
    }
    count = static_cast<std::size_t>(size);
    bytes = static_cast<unsigned char*>(platform::allocate(count == 0 ? 1 : count));
    if (bytes == nullptr) {
        return kNoMemoryForBytes;
    }
    std::size_t done = 0;
    if (!platform::read_bytes(file, bytes, count, done) || done != count) {
        platform::release(bytes);
        return kShortRead;
    }
    return 0;
}

}  // namespace
}  // namespace widesave

using namespace widesave;

WIDESAVE_ENTRY char* WIDESAVE_CALL ReadSaveFile(int32_t slot) {
    // A name that cannot be built is no save: whatever filename_buffer held
    // before (another slot, the directory) is never opened.
    const SlotProbe probe = probe_slot(slot);
    if (probe.build_code != 0 || probe.index == kNoSaveFile) {
        return error_text(kNoSave);
    }
    const File file = platform::open_for_reading(filename_buffer);
    if (file == kNoFile) {
        return error_text(kCannotOpen);
    }
    unsigned char* bytes = nullptr;
    std::size_t count = 0;
    const int error = read_whole(file, bytes, count);
    platform::close_file(file);
    if (error != 0) {
        return error_text(static_cast<ReadError>(error));
    }
    char* text = bytes2hex(bytes, count);
    platform::release(bytes);
    return text != nullptr ? text : error_text(kNoMemoryForText);
}
