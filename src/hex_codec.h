// Hex text <-> bytes: two digits a byte, high digit first; read in either
// case, written in upper case. Kernel sets: a portable one, 16 bytes at a
// time with SSE2 where the target has it (x86-64, and the i686 DLL), 32
// with AVX2 where the processor has it, 16 with NEON on aarch64. The codec
// allocates nothing: callers own every block.
#ifndef WIDESAVE_HEX_CODEC_H
#define WIDESAVE_HEX_CODEC_H

#include <cstddef>

// Which kernel sets this target compiles; the one place that says so.
#if defined(__SSE2__)
#define WIDESAVE_HEX_SSE2 1
#endif
#if defined(__x86_64__) || defined(__i386__)
#define WIDESAVE_HEX_AVX2 1  // compiled by attribute, run only where present
#endif
#if defined(__aarch64__)
#define WIDESAVE_HEX_NEON 1  // always present on aarch64
#endif

namespace widesave {

// 0 to 15, or -1 when c is not a hex digit.
int hexchar2number(char c);

// Decodes 2 * count digits into count bytes at out, testing every digit;
// false if any is not a hex digit (out then holds garbage).
bool hex2bytes(const char* text, std::size_t count, unsigned char* out);
// Encodes length bytes as 2 * length digits at out, no terminator.
void bytes2hex(const unsigned char* data, std::size_t length, char* out);
// Measures a terminated text and tests it in the same pass: true, with its
// length, when every character before the terminator is a hex digit. Not
// every C runtime's strlen is fast; this runs at memory speed.
bool measure_hex_text(const char* text, std::size_t& length);

// A kernel set: the same three operations, each exactly as the portable one.
struct HexKernel {
    const char* name;
    bool (*decode)(const char* text, std::size_t count, unsigned char* out);
    void (*encode)(const unsigned char* data, std::size_t length, char* out);
    bool (*measure)(const char* text, std::size_t& length);
};

extern const HexKernel kHexPortable;
#if defined(WIDESAVE_HEX_SSE2)
extern const HexKernel kHexSse2;
#endif
#if defined(WIDESAVE_HEX_AVX2)
extern const HexKernel kHexAvx2;
// Whether this processor and OS run AVX2; asked once.
bool cpu_has_avx2();
#endif
#if defined(WIDESAVE_HEX_NEON)
extern const HexKernel kHexNeon;
#endif

// Every kernel set this processor can run, the portable one first and the
// one the codec uses last.
std::size_t hex_kernels(const HexKernel* const** kernels);

}  // namespace widesave

#endif
