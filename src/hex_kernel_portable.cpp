// The portable hex kernels, a byte at a time; every other kernel must
// match them exactly.
#include "hex_codec.h"

namespace widesave {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

bool decode(const char* text, std::size_t count, unsigned char* out) {
    int invalid = 0;  // collects the sign bit of any -1
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hexchar2number(text[2 * i]);
        const int low = hexchar2number(text[2 * i + 1]);
        invalid |= high | low;
        out[i] = static_cast<unsigned char>((static_cast<unsigned>(high) << 4) |
                                            (static_cast<unsigned>(low) & 0xFU));
    }
    return invalid >= 0;
}

void encode(const unsigned char* data, std::size_t length, char* out) {
    for (std::size_t i = 0; i < length; ++i) {
        out[2 * i] = kDigits[data[i] >> 4];
        out[2 * i + 1] = kDigits[data[i] & 0xF];
    }
}

bool measure(const char* text, std::size_t& length) {
    std::size_t i = 0;
    for (; text[i] != 0; ++i) {
        if (hexchar2number(text[i]) < 0) {
            return false;
        }
    }
    length = i;
    return true;
}

}  // namespace

const HexKernel kHexPortable = {"portable", decode, encode, measure};

}  // namespace widesave
