#include "payload.h"

namespace {

constexpr std::size_t kHeader = 9;  // 'W', writer, sequence (4), length (4) follow

void put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint32_t get32(const std::string& in, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

}  // namespace

std::string make_payload(PayloadId id) {
    const std::uint32_t length = 1 + (id.sequence * 7919u + id.writer * 104729u) % 20000u;
    std::string out = "W";
    out += static_cast<char>(id.writer & 0xFF);
    put32(out, id.sequence);
    put32(out, length);
    std::uint32_t state = id.writer * 2654435761u ^ id.sequence * 40503u ^ 0x9E3779B9u;
    for (std::uint32_t i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        out += static_cast<char>(state >> 24);
    }
    return out;
}

bool check_payload(const std::string& bytes, PayloadId& id) {
    if (bytes.size() < kHeader || bytes[0] != 'W') {
        return false;
    }
    id = PayloadId{static_cast<unsigned char>(bytes[1]), get32(bytes, 2)};
    return bytes == make_payload(id);
}

std::string to_hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * bytes.size());
    for (const char c : bytes) {
        const auto value = static_cast<unsigned char>(c);
        text += digits[value >> 4];
        text += digits[value & 0xF];
    }
    return text;
}

bool from_hex(const std::string& text, std::string& bytes) {
    auto digit = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    bytes.clear();
    if (text.size() % 2 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0) {
            bytes.clear();
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}
