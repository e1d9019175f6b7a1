// The hex codec on its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "hex_codec.h"

namespace {

using widesave::bytes2hex;
using widesave::hex2bytes;
using widesave::hexchar2number;
using widesave::is_hex_text;

TEST(HexCodec, DigitValuesOverEveryByte) {
    for (int c = 0; c < 256; ++c) {
        int expected = -1;
        if (c >= '0' && c <= '9') expected = c - '0';
        if (c >= 'A' && c <= 'F') expected = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') expected = c - 'a' + 10;
        EXPECT_EQ(hexchar2number(static_cast<char>(c)), expected) << "byte " << c;
    }
}

TEST(HexCodec, KnownBytes) {
    unsigned char* bytes = hex2bytes("0aff00FF", 4);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0], 0x0A);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0xFF);
    std::free(bytes);

    const unsigned char data[] = {0x00, 0x0A, 0xFF};
    char* text = bytes2hex(data, 3);
    EXPECT_STREQ(text, "000AFF");
    std::free(text);

    text = bytes2hex(data, 0);
    EXPECT_STREQ(text, "");
    std::free(text);
    bytes = hex2bytes("", 0);
    EXPECT_NE(bytes, nullptr) << "an empty block is still a block";
    std::free(bytes);
}

TEST(HexCodec, RandomRoundTrips) {
    std::mt19937 generator(7);
    for (std::size_t length = 0; length < 600; length += 1 + length / 8) {
        std::string data(length, '\0');
        for (char& c : data) c = static_cast<char>(generator());
        char* text = bytes2hex(reinterpret_cast<const unsigned char*>(data.data()), length);
        ASSERT_NE(text, nullptr);
        ASSERT_TRUE(is_hex_text(text, 2 * length));
        unsigned char* back = hex2bytes(text, length);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(back), length), data) << length;
        std::free(text);
        std::free(back);
    }
}

}  // namespace
