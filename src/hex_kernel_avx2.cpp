// 32-byte hex kernels for processors with AVX2, chosen at run time. Only
// these functions are compiled for AVX2 (by attribute, not by flag), so no
// AVX2 code can reach a processor without it.
#include "hex_codec.h"

#if defined(WIDESAVE_HEX_AVX2)

#include <immintrin.h>

#include <cstdint>

#define WIDESAVE_AVX2 __attribute__((target("avx2")))

namespace widesave {

namespace {

// As the SSE2 kernel's: values 0 to 15, clearing `valid` lanes of non-digits.
WIDESAVE_AVX2 inline __m256i nibbles(__m256i chars, __m256i& valid) {
    const __m256i digit = _mm256_sub_epi8(chars, _mm256_set1_epi8('0'));
    const __m256i is_digit = _mm256_cmpeq_epi8(_mm256_min_epu8(digit, _mm256_set1_epi8(9)), digit);
    const __m256i letter =
        _mm256_sub_epi8(_mm256_or_si256(chars, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('a'));
    const __m256i is_letter =
        _mm256_cmpeq_epi8(_mm256_min_epu8(letter, _mm256_set1_epi8(5)), letter);
    valid = _mm256_and_si256(valid, _mm256_or_si256(is_digit, is_letter));
    return _mm256_blendv_epi8(_mm256_add_epi8(letter, _mm256_set1_epi8(10)), digit, is_digit);
}

WIDESAVE_AVX2 inline __m256i join_pairs(__m256i values) {
    const __m256i high = _mm256_and_si256(_mm256_slli_epi16(values, 4), _mm256_set1_epi16(0x00F0));
    return _mm256_or_si256(high, _mm256_srli_epi16(values, 8));
}

WIDESAVE_AVX2 inline __m256i ascii_digits(__m256i values) {
    const __m256i above_nine = _mm256_cmpgt_epi8(values, _mm256_set1_epi8(9));
    return _mm256_add_epi8(_mm256_add_epi8(values, _mm256_set1_epi8('0')),
                           _mm256_and_si256(above_nine, _mm256_set1_epi8('A' - '0' - 10)));
}

WIDESAVE_AVX2 bool decode(const char* text, std::size_t count, unsigned char* out) {
    __m256i valid = _mm256_set1_epi8(-1);
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const auto* in = reinterpret_cast<const __m256i*>(text + 2 * i);
        const __m256i first = join_pairs(nibbles(_mm256_loadu_si256(in), valid));
        const __m256i second = join_pairs(nibbles(_mm256_loadu_si256(in + 1), valid));
        // packus works within 128-bit lanes; the permute puts the quarters
        // back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), packed);
    }
    const bool tail_valid = kHexPortable.decode(text + 2 * i, count - i, out + i);
    return tail_valid && _mm256_movemask_epi8(valid) == -1;
}

WIDESAVE_AVX2 void encode(const unsigned char* data, std::size_t length, char* out) {
    const __m256i low_nibble = _mm256_set1_epi8(0x0F);
    std::size_t i = 0;
    for (; i + 32 <= length; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const __m256i high =
            ascii_digits(_mm256_and_si256(_mm256_srli_epi16(bytes, 4), low_nibble));
        const __m256i low = ascii_digits(_mm256_and_si256(bytes, low_nibble));
        // Interleaving works within 128-bit lanes too: bytes 0-7 and 16-23
        // in one register, 8-15 and 24-31 in the other.
        const __m256i lanes_low = _mm256_unpacklo_epi8(high, low);
        const __m256i lanes_high = _mm256_unpackhi_epi8(high, low);
        auto* dest = reinterpret_cast<__m256i*>(out + 2 * i);
        _mm256_storeu_si256(dest, _mm256_permute2x128_si256(lanes_low, lanes_high, 0x20));
        _mm256_storeu_si256(dest + 1, _mm256_permute2x128_si256(lanes_low, lanes_high, 0x31));
    }
    kHexPortable.encode(data + i, length - i, out + 2 * i);
}

// As the SSE2 measure: aligned 32-byte loads stay within one page, so the
// vector holding the terminator can be read whole.
WIDESAVE_AVX2 __attribute__((no_sanitize_address)) bool measure(const char* text,
                                                                std::size_t& length) {
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    const auto* block = reinterpret_cast<const __m256i*>(  // NOLINT(performance-no-int-to-ptr)
        address & ~std::uintptr_t{31});
    // Lanes before the text's start count as digits, not terminators.
    std::uint32_t before_start =
        static_cast<std::uint32_t>((std::uint64_t{1} << (address & 31)) - 1);
    for (;; ++block) {
        const __m256i chars = _mm256_load_si256(block);
        __m256i valid = _mm256_set1_epi8(-1);
        nibbles(chars, valid);
        const auto zero = static_cast<std::uint32_t>(_mm256_movemask_epi8(
                              _mm256_cmpeq_epi8(chars, _mm256_setzero_si256()))) &
                          ~before_start;
        const auto digits = static_cast<std::uint32_t>(_mm256_movemask_epi8(valid)) | before_start;
        before_start = 0;
        if (zero != 0) {
            const auto end = static_cast<unsigned>(__builtin_ctz(zero));
            const auto needed = static_cast<std::uint32_t>((std::uint64_t{1} << end) - 1);
            if ((digits & needed) != needed) {
                return false;
            }
            length = static_cast<std::size_t>(reinterpret_cast<const char*>(block) + end - text);
            return true;
        }
        if (digits != 0xFFFFFFFFU) {
            return false;
        }
    }
}

}  // namespace

const HexKernel kHexAvx2 = {"avx2", decode, encode, measure};

bool cpu_has_avx2() {
    // Asked once; the answer includes whether the OS saves the AVX state.
    static int answer = -1;
    if (answer < 0) {
        __builtin_cpu_init();
        answer = __builtin_cpu_supports("avx2") ? 1 : 0;
    }
    return answer == 1;
}

}  // namespace widesave

#endif
