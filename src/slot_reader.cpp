// ReadSaveFile: a slot's file whole, as hex text in a new block.
#include <cstring>

#include "exports.h"
#include "hex_codec.h"
#include "module_state.h"
#include "platform.h"
#include "slot_file.h"

namespace widesave {
namespace {

// Files this large would give a hex text whose length no longer fits a
// signed 32-bit count.
constexpr std::uint64_t kMaxSaveBytes = std::uint64_t{1} << 30;

constexpr char kErrorTexts[][9] = {"Error: 0", "Error: 1", "Error: 2",
                                   "Error: 3", "Error: 4", "Error: 5"};

// A fresh block like any result; only when not even that can be had, the
// constant text itself, so the host never gets null.
char* error_text(int error) {
    const char* text = kErrorTexts[error];
    auto* block = static_cast<char*>(platform::allocate(sizeof kErrorTexts[0]));
    if (block == nullptr) {
        return const_cast<char*>(text);
    }
    std::memcpy(block, text, sizeof kErrorTexts[0]);
    return block;
}

// Turns the count bytes at the front of text into their 2 * count digits in
// place, from the back, so that no byte is overwritten before it is read:
// a piece [start, end) becomes [2 * start, 2 * end), which lies past the
// piece itself once start >= end - start. Only the first few bytes need a
// copy aside. Nothing is allocated.
void expand_to_hex(char* text, std::size_t count) {
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    constexpr std::size_t kCopied = 16;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t end = count;
    while (end > kCopied) {
        const std::size_t half = end / 2;
        const std::size_t start = end - (half < kPiece ? half : kPiece);
        bytes2hex(bytes + start, end - start, text + 2 * start);
        end = start;
    }
    unsigned char first[kCopied];
    std::memcpy(first, bytes, end);
    bytes2hex(first, end, text);
}

// The whole file as hex text in one new block: its bytes are read into the
// block's front and expanded there. 0 or the error.
int read_whole(File file, char*& text) {
    std::uint64_t size = 0;
    if (!platform::read_file_size(file, size)) {
        return WIDESAVE_READ_CANNOT_SIZE;
    }
    if (size >= kMaxSaveBytes) {
        return WIDESAVE_READ_NO_MEMORY;
    }
    const auto count = static_cast<std::size_t>(size);
    text = static_cast<char*>(platform::allocate(2 * count + 1));
    if (text == nullptr) {
        return WIDESAVE_READ_NO_MEMORY;
    }
    std::size_t done = 0;
    if (!platform::read_bytes(file, text, count, done) || done != count) {
        platform::release(text);
        return WIDESAVE_READ_FAILED;
    }
    expand_to_hex(text, count);
    text[2 * count] = 0;
    return 0;
}

}  // namespace
}  // namespace widesave

using namespace widesave;

WIDESAVE_ENTRY char* WIDESAVE_CALL ReadSaveFile(int32_t slot) {
    // A name that cannot be built is no save: whatever filename_buffer held
    // before (another slot, the directory) is never opened.
    const SlotProbe probe = probe_slot(slot);
    if (probe.build_code != WIDESAVE_OK || probe.index == WIDESAVE_NO_SAVE_FILE) {
        return error_text(WIDESAVE_READ_NO_SAVE);
    }
    const File file = platform::open_for_reading(filename_buffer);
    if (file == kNoFile) {
        return error_text(WIDESAVE_READ_CANNOT_OPEN);
    }
    char* text = nullptr;
    const int error = read_whole(file, text);
    platform::close_file(file);
    return error == 0 ? text : error_text(error);
}
