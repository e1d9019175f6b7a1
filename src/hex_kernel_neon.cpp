// 16-byte hex kernels for NEON, which every aarch64 processor has.
#include "hex_codec.h"

#if defined(WIDESAVE_HEX_NEON)

#include <arm_neon.h>

#include <cstdint>

namespace widesave {

namespace {

// Sixteen characters to their values 0 to 15; clears lanes of `valid`
// whose character is not a hex digit.
inline uint8x16_t nibbles(uint8x16_t chars, uint8x16_t& valid) {
    const uint8x16_t digit = vsubq_u8(chars, vdupq_n_u8('0'));
    const uint8x16_t is_digit = vcleq_u8(digit, vdupq_n_u8(9));
    // Setting bit 5 folds 'A'-'F' onto 'a'-'f' and moves nothing else there.
    const uint8x16_t letter = vsubq_u8(vorrq_u8(chars, vdupq_n_u8(0x20)), vdupq_n_u8('a'));
    const uint8x16_t is_letter = vcleq_u8(letter, vdupq_n_u8(5));
    valid = vandq_u8(valid, vorrq_u8(is_digit, is_letter));
    return vbslq_u8(is_digit, digit, vaddq_u8(letter, vdupq_n_u8(10)));
}

bool decode(const char* text, std::size_t count, unsigned char* out) {
    uint8x16_t valid = vdupq_n_u8(0xFF);
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        // De-interleaves the 32 characters into high and low digits.
        const uint8x16x2_t pairs = vld2q_u8(reinterpret_cast<const std::uint8_t*>(text + 2 * i));
        const uint8x16_t high = nibbles(pairs.val[0], valid);
        const uint8x16_t low = nibbles(pairs.val[1], valid);
        vst1q_u8(out + i, vorrq_u8(vshlq_n_u8(high, 4), low));
    }
    const bool tail_valid = kHexPortable.decode(text + 2 * i, count - i, out + i);
    return tail_valid && vminvq_u8(valid) == 0xFF;
}

inline uint8x16_t ascii_digits(uint8x16_t values) {
    const uint8x16_t above_nine = vcgtq_u8(values, vdupq_n_u8(9));
    return vaddq_u8(vaddq_u8(values, vdupq_n_u8('0')),
                    vandq_u8(above_nine, vdupq_n_u8('A' - '0' - 10)));
}

void encode(const unsigned char* data, std::size_t length, char* out) {
    std::size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        const uint8x16_t bytes = vld1q_u8(data + i);
        uint8x16x2_t digits;
        digits.val[0] = ascii_digits(vshrq_n_u8(bytes, 4));
        digits.val[1] = ascii_digits(vandq_u8(bytes, vdupq_n_u8(0x0F)));
        // Interleaves them back: high digit first.
        vst2q_u8(reinterpret_cast<std::uint8_t*>(out + 2 * i), digits);
    }
    kHexPortable.encode(data + i, length - i, out + 2 * i);
}

// Aligned 16-byte loads never cross into another page, so reading the
// vector that holds the terminator is safe even when the text ends just
// before unmapped memory; the address sanitizer cannot know that.
__attribute__((no_sanitize_address)) bool measure(const char* text, std::size_t& length) {
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    const auto* block = reinterpret_cast<const std::uint8_t*>(  // NOLINT(performance-no-int-to-ptr)
        address & ~std::uintptr_t{15});
    // Lanes before the text's start count as digits, not terminators.
    std::size_t skip = address & 15;
    for (;; block += 16, skip = 0) {
        const uint8x16_t chars = vld1q_u8(block);
        uint8x16_t valid = vdupq_n_u8(0xFF);
        nibbles(chars, valid);
        const uint8x16_t zero = vceqq_u8(chars, vdupq_n_u8(0));
        // Fast path: no terminator and every digit valid in the lanes that count.
        if (vmaxvq_u8(zero) == 0 && skip == 0) {
            if (vminvq_u8(valid) != 0xFF) {
                return false;
            }
            continue;
        }
        std::uint8_t zeros[16];
        std::uint8_t digits[16];
        vst1q_u8(zeros, zero);
        vst1q_u8(digits, valid);
        for (std::size_t lane = skip; lane < 16; ++lane) {
            if (zeros[lane] != 0) {
                length =
                    static_cast<std::size_t>(reinterpret_cast<const char*>(block) + lane - text);
                return true;
            }
            if (digits[lane] == 0) {
                return false;
            }
        }
    }
}

}  // namespace

const HexKernel kHexNeon = {"neon", decode, encode, measure};

}  // namespace widesave

#endif
