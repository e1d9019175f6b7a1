// The name a host hands SetSaveSubdirectory, any bytes: the POSIX layer's
// UTF-8 conversion accepts exactly what a reference strict decoder accepts
// and yields the same UTF-16.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform.h"

namespace {

// Reference: decode each sequence by its lead byte, then refuse overlong
// forms, surrogates and values above U+10FFFF by the value decoded.
bool reference_decode(const std::string& text, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t count = 0;
        char32_t value = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            count = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            count = 2;
            value = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            count = 3;
            value = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            count = 4;
            value = lead & 0x07;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (i + count > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < count; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            value = (value << 6) | (next & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        if (value >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(value);
        }
        i += count;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string name = input.substr(0, input.find('\0'));  // what a host's C string holds

    std::u16string expected;
    constexpr std::size_t kCapacity = 260;
    const bool accepted = reference_decode(name, expected) && expected.size() < kCapacity;

    char16_t out[kCapacity];
    const bool converted = widesave::platform::utf8_to_utf16(input.c_str(), out, kCapacity);
    if (converted != accepted) {
        abort();
    }
    if (converted && std::u16string(out) != expected) {
        abort();
    }
    return 0;
}
