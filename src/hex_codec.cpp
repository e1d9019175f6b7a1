#include "hex_codec.h"

#include "platform.h"

namespace widesave {

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

bool is_hex_text(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (hexchar2number(text[i]) < 0) {
            return false;
        }
    }
    return true;
}

unsigned char* hex2bytes(const char* text, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(platform::allocate(count == 0 ? 1 : count));
    if (bytes == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hexchar2number(text[2 * i]);
        const int low = hexchar2number(text[2 * i + 1]);
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return bytes;
}

char* bytes2hex(const unsigned char* data, std::size_t length) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto* text = static_cast<char*>(platform::allocate(2 * length + 1));
    if (text == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < length; ++i) {
        text[2 * i] = kDigits[data[i] >> 4];
        text[2 * i + 1] = kDigits[data[i] & 0xF];
    }
    text[2 * length] = 0;
    return text;
}

}  // namespace widesave
