// The text a host hands WriteSaveFile, any bytes of any length: the writer's
// measuring and decoding accept exactly what a plain reference accepts and
// yield the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hex_codec.h"

namespace {

// Reference: a text (up to its first NUL) is a save when it has an even
// number of characters, all of them from "0123456789ABCDEFabcdef".
bool reference_decode(const std::string& text, std::string& bytes) {
    static const std::string digits = "0123456789abcdef";
    if (text.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto high = digits.find(static_cast<char>(std::tolower(text[i])));
        const auto low = digits.find(static_cast<char>(std::tolower(text[i + 1])));
        if (high == std::string::npos || low == std::string::npos) {
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string text = input.substr(0, input.find('\0'));  // what a host's C string holds

    std::string expected;
    const bool accepted = reference_decode(text, expected);

    std::size_t length = 0;
    const bool measured = widesave::measure_hex_text(input.c_str(), length);
    if (measured && length != text.size()) {
        abort();
    }
    const widesave::HexKernel* const* kernels = nullptr;
    const std::size_t kernel_count = widesave::hex_kernels(&kernels);
    for (std::size_t k = 0; k < kernel_count; ++k) {
        std::size_t kernel_length = 0;
        if (kernels[k]->measure(input.c_str(), kernel_length) != measured) {
            abort();
        }
        if (measured && kernel_length != length) {
            abort();
        }
    }

    std::string bytes(length / 2 + 1, '\0');
    const bool decoded = measured && length % 2 == 0 &&
                         widesave::hex2bytes(input.c_str(), length / 2,
                                             reinterpret_cast<unsigned char*>(bytes.data()));
    if (decoded != accepted) {
        abort();
    }
    if (decoded && bytes.compare(0, expected.size(), expected) != 0) {
        abort();
    }

    // Every kernel this processor runs, on the text as measured.
    if (accepted) {
        std::string out(expected.size() + 1, '\0');
        for (std::size_t k = 0; k < kernel_count; ++k) {
            auto* target = reinterpret_cast<unsigned char*>(out.data());
            if (!kernels[k]->decode(text.data(), expected.size(), target)) {
                abort();
            }
            if (out.compare(0, expected.size(), expected) != 0) {
                abort();
            }
        }
    }
    return 0;
}
