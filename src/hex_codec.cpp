// The hex codec: hexchar2number, and the kernel set that hex2bytes,
// bytes2hex and measure_hex_text use, chosen once for this processor.
#include "hex_codec.h"

namespace widesave {

namespace {

// Null until the first call asks: the DLL has no start-up code to ask at
// load, so the answer is taken on first use and kept.
const HexKernel* chosen = nullptr;

const HexKernel* choose() {
#if defined(WIDESAVE_HEX_AVX2)
    if (cpu_has_avx2()) {
        return &kHexAvx2;
    }
#endif
#if defined(WIDESAVE_HEX_SSE2)
    return &kHexSse2;
#elif defined(WIDESAVE_HEX_NEON)
    return &kHexNeon;
#else
    return &kHexPortable;
#endif
}

const HexKernel& kernel() {
    if (chosen == nullptr) {
        chosen = choose();
    }
    return *chosen;
}

}  // namespace

int hexchar2number(char c) {
    // Bytes 0x80 to 0xFF, negative as signed characters, fall outside
    // every range either way.
    const int value = static_cast<unsigned char>(c);
    if (value >= '0' && value <= '9') {
        return value - 0x30;
    }
    if (value >= 'A' && value <= 'F') {
        return value - 0x37;
    }
    if (value >= 'a' && value <= 'f') {
        return value - 0x57;
    }
    return -1;
}

std::size_t hex_kernels(const HexKernel* const** kernels) {
    static const HexKernel* const kAll[] = {
        &kHexPortable,
#if defined(WIDESAVE_HEX_SSE2)
        &kHexSse2,
#endif
#if defined(WIDESAVE_HEX_NEON)
        &kHexNeon,
#endif
#if defined(WIDESAVE_HEX_AVX2)
        &kHexAvx2,
#endif
    };
    std::size_t count = sizeof kAll / sizeof kAll[0];
#if defined(WIDESAVE_HEX_AVX2)
    if (!cpu_has_avx2()) {
        --count;
    }
#endif
    *kernels = kAll;
    return count;
}

bool hex2bytes(const char* text, std::size_t count, unsigned char* out) {
    return kernel().decode(text, count, out);
}

void bytes2hex(const unsigned char* data, std::size_t length, char* out) {
    kernel().encode(data, length, out);
}

bool measure_hex_text(const char* text, std::size_t& length) {
    return kernel().measure(text, length);
}

}  // namespace widesave
