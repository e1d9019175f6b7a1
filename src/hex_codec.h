// Hex text <-> bytes: two digits a byte, high digit first; read in either
// case, written in upper case. The kernels run 16 bytes at a time with SSE2
// where the target has it and 32 with AVX2 where the processor has it, with
// a portable path beside them.
#ifndef WIDESAVE_HEX_CODEC_H
#define WIDESAVE_HEX_CODEC_H

#include <cstddef>

namespace widesave {

// 0 to 15, or -1 when c is not a hex digit.
int hexchar2number(char c);

// Decodes 2 * count digits into count bytes at out, testing every digit;
// false if any is not a hex digit (out then holds garbage).
bool hex2bytes(const char* text, std::size_t count, unsigned char* out);
// Encodes length bytes as 2 * length digits at out, no terminator.
void bytes2hex(const unsigned char* data, std::size_t length, char* out);

// The portable kernels, which the fast ones must match exactly.
bool hex_decode_portable(const char* text, std::size_t count, unsigned char* out);
void hex_encode_portable(const unsigned char* data, std::size_t length, char* out);

// Every kernel pair this processor can run, the portable one first and the
// one hex_decode and hex_encode use last.
struct HexKernel {
    const char* name;
    bool (*decode)(const char* text, std::size_t count, unsigned char* out);
    void (*encode)(const unsigned char* data, std::size_t length, char* out);
    bool (*measure)(const char* text, std::size_t& length);
};
std::size_t hex_kernels(const HexKernel** kernels);

// Measures a terminated text and tests it in the same pass: true, with its
// length, when every character before the terminator is a hex digit. Not
// every C runtime's strlen is fast; this runs at memory speed.
bool measure_hex_text(const char* text, std::size_t& length);
bool measure_hex_text_portable(const char* text, std::size_t& length);

}  // namespace widesave

#endif
