#include "utf8.h"

#include <cstdint>

namespace widesave {

namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

// Bounds of the second byte, which rule out overlong forms, surrogates and
// values above U+10FFFF.
void second_byte_range(unsigned char lead, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead == 0xE0) {
        low = 0xA0;
    } else if (lead == 0xED) {
        high = 0x9F;
    } else if (lead == 0xF0) {
        low = 0x90;
    } else if (lead == 0xF4) {
        high = 0x8F;
    }
}

// Sequence length for a lead byte, 0 if it cannot start one.
std::size_t sequence_length(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

}  // namespace

std::size_t decode_utf8(const char* text, std::size_t length, char16_t* out, std::size_t capacity) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t units = 0;
    auto emit = [&](char16_t unit) {
        if (units < capacity) {
            out[units] = unit;
        }
        ++units;
    };
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = bytes[i];
        const std::size_t count = sequence_length(lead);
        if (count == 0 || count > length - i) {
            return kInvalidUtf8;
        }
        std::uint32_t code_point = count == 1 ? lead : lead & (0x7FU >> count);
        if (count > 1) {
            unsigned char low = 0;
            unsigned char high = 0;
            second_byte_range(lead, low, high);
            if (bytes[i + 1] < low || bytes[i + 1] > high) {
                return kInvalidUtf8;
            }
        }
        for (std::size_t k = 1; k < count; ++k) {
            if (!is_continuation(bytes[i + k])) {
                return kInvalidUtf8;
            }
            code_point = (code_point << 6) | (bytes[i + k] & 0x3FU);
        }
        if (code_point >= 0x10000) {
            code_point -= 0x10000;
            emit(static_cast<char16_t>(0xD800 + (code_point >> 10)));
            emit(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
        } else {
            emit(static_cast<char16_t>(code_point));
        }
        i += count;
    }
    return units;
}

bool encode_utf8(const char16_t* text, char* out, std::size_t capacity) {
    std::size_t used = 0;
    auto put = [&](std::uint32_t byte) {
        if (used >= capacity) {
            return false;
        }
        out[used++] = static_cast<char>(byte);
        return true;
    };
    for (; *text != 0; ++text) {
        std::uint32_t code_point = *text;
        if (code_point >= 0xDC00 && code_point <= 0xDFFF) {
            return false;
        }
        if (code_point >= 0xD800 && code_point <= 0xDBFF) {
            const std::uint32_t trail = text[1];
            if (trail < 0xDC00 || trail > 0xDFFF) {
                return false;
            }
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (trail - 0xDC00);
            ++text;
        }
        bool fits = true;
        if (code_point < 0x80) {
            fits = put(code_point);
        } else if (code_point < 0x800) {
            fits = put(0xC0 | (code_point >> 6)) && put(0x80 | (code_point & 0x3F));
        } else if (code_point < 0x10000) {
            fits = put(0xE0 | (code_point >> 12)) && put(0x80 | ((code_point >> 6) & 0x3F)) &&
                   put(0x80 | (code_point & 0x3F));
        } else {
            fits = put(0xF0 | (code_point >> 18)) && put(0x80 | ((code_point >> 12) & 0x3F)) &&
                   put(0x80 | ((code_point >> 6) & 0x3F)) && put(0x80 | (code_point & 0x3F));
        }
        if (!fits) {
            return false;
        }
    }
    return put(0);
}

}  // namespace widesave
