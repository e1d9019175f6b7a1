// The AVX2 hex kernels, where the compiler targets x86.
#ifndef WIDESAVE_HEX_CODEC_AVX2_H
#define WIDESAVE_HEX_CODEC_AVX2_H

#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)
#define WIDESAVE_HEX_AVX2 1

namespace widesave {

bool cpu_has_avx2();
bool hex_decode_avx2(const char* text, std::size_t count, unsigned char* out);
void hex_encode_avx2(const unsigned char* data, std::size_t length, char* out);
bool measure_hex_text_avx2(const char* text, std::size_t& length);

}  // namespace widesave

#endif
#endif
