// 16-byte hex kernels for SSE2, which every x86-64 and the i686 DLL (built
// with -msse2) have.
#include "hex_codec.h"

#if defined(WIDESAVE_HEX_SSE2)

#include <emmintrin.h>

#include <cstdint>

namespace widesave {

namespace {

// Sixteen characters to their values 0 to 15; clears lanes of `valid`
// whose character is not a hex digit. Unsigned minimum stands in for the
// unsigned compare SSE2 lacks: x <= k exactly when min(x, k) == x.
inline __m128i nibbles(__m128i chars, __m128i& valid) {
    const __m128i digit = _mm_sub_epi8(chars, _mm_set1_epi8('0'));
    const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
    // Setting bit 5 folds 'A'-'F' onto 'a'-'f' and moves nothing else there.
    const __m128i letter =
        _mm_sub_epi8(_mm_or_si128(chars, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
    const __m128i is_letter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
    valid = _mm_and_si128(valid, _mm_or_si128(is_digit, is_letter));
    return _mm_or_si128(_mm_and_si128(is_digit, digit),
                        _mm_andnot_si128(is_digit, _mm_add_epi8(letter, _mm_set1_epi8(10))));
}

// Pairs of values (high first) in each 16-bit lane to one byte per lane.
inline __m128i join_pairs(__m128i values) {
    const __m128i high = _mm_and_si128(_mm_slli_epi16(values, 4), _mm_set1_epi16(0x00F0));
    return _mm_or_si128(high, _mm_srli_epi16(values, 8));
}

bool decode(const char* text, std::size_t count, unsigned char* out) {
    __m128i valid = _mm_set1_epi8(-1);
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const auto* in = reinterpret_cast<const __m128i*>(text + 2 * i);
        const __m128i first = join_pairs(nibbles(_mm_loadu_si128(in), valid));
        const __m128i second = join_pairs(nibbles(_mm_loadu_si128(in + 1), valid));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(first, second));
    }
    const bool tail_valid = kHexPortable.decode(text + 2 * i, count - i, out + i);
    return tail_valid && _mm_movemask_epi8(valid) == 0xFFFF;
}

inline __m128i ascii_digits(__m128i values) {
    const __m128i above_nine = _mm_cmpgt_epi8(values, _mm_set1_epi8(9));
    return _mm_add_epi8(_mm_add_epi8(values, _mm_set1_epi8('0')),
                        _mm_and_si128(above_nine, _mm_set1_epi8('A' - '0' - 10)));
}

void encode(const unsigned char* data, std::size_t length, char* out) {
    const __m128i low_nibble = _mm_set1_epi8(0x0F);
    std::size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i high = ascii_digits(_mm_and_si128(_mm_srli_epi16(bytes, 4), low_nibble));
        const __m128i low = ascii_digits(_mm_and_si128(bytes, low_nibble));
        auto* dest = reinterpret_cast<__m128i*>(out + 2 * i);
        _mm_storeu_si128(dest, _mm_unpacklo_epi8(high, low));
        _mm_storeu_si128(dest + 1, _mm_unpackhi_epi8(high, low));
    }
    kHexPortable.encode(data + i, length - i, out + 2 * i);
}

// Aligned 16-byte loads never cross into another page, so reading the
// vector that holds the terminator is safe even when the text ends just
// before unmapped memory; the address sanitizer cannot know that.
#if defined(__clang__) || defined(__GNUC__)
__attribute__((no_sanitize_address))
#endif
bool measure(const char* text, std::size_t& length) {
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    const auto* block = reinterpret_cast<const __m128i*>(  // NOLINT(performance-no-int-to-ptr)
        address & ~std::uintptr_t{15});
    // Lanes before the text's start count as digits, not terminators.
    unsigned before_start = (1U << (address & 15)) - 1;
    for (;; ++block) {
        const __m128i chars = _mm_load_si128(block);
        __m128i valid = _mm_set1_epi8(-1);
        nibbles(chars, valid);
        const auto zero =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chars, _mm_setzero_si128()))) &
            ~before_start;
        const auto digits = static_cast<unsigned>(_mm_movemask_epi8(valid)) | before_start;
        before_start = 0;
        if (zero != 0) {
            const auto end = static_cast<unsigned>(__builtin_ctz(zero));
            const unsigned needed = (1U << end) - 1;
            if ((digits & needed) != needed) {
                return false;
            }
            length = static_cast<std::size_t>(reinterpret_cast<const char*>(block) + end - text);
            return true;
        }
        if (digits != 0xFFFF) {
            return false;
        }
    }
}

}  // namespace

const HexKernel kHexSse2 = {"sse2", decode, encode, measure};

}  // namespace widesave

#endif
