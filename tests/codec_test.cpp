// The hex codec on its own: digit values, known bytes, and every fast
// kernel the processor can run against the portable ones.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "hex_codec.h"

namespace {

using namespace widesave;

std::string random_bytes(std::size_t length, std::mt19937& generator) {
    std::string data(length, '\0');
    for (char& c : data) {
        c = static_cast<char>(generator());
    }
    return data;
}

const unsigned char* bytes_of(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

TEST(HexCodec, DigitValuesOverEveryByte) {
    for (int c = 0; c < 256; ++c) {
        int expected = -1;
        if (c >= '0' && c <= '9') {
            expected = c - '0';
        }
        if (c >= 'A' && c <= 'F') {
            expected = c - 'A' + 10;
        }
        if (c >= 'a' && c <= 'f') {
            expected = c - 'a' + 10;
        }
        EXPECT_EQ(hexchar2number(static_cast<char>(c)), expected) << "byte " << c;
    }
}

TEST(HexCodec, KnownBytes) {
    unsigned char bytes[4] = {};
    ASSERT_TRUE(hex2bytes("0aff00FF", 4, bytes));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 4), std::string("\x0A\xFF\x00\xFF", 4));

    const unsigned char data[] = {0x00, 0x0A, 0xFF};
    char text[7] = {};
    bytes2hex(data, 3, text);
    EXPECT_STREQ(text, "000AFF");
    char empty[1] = {'!'};
    bytes2hex(data, 0, empty);
    EXPECT_EQ(empty[0], '!') << "zero bytes write nothing";
    EXPECT_TRUE(hex2bytes("", 0, bytes));
    EXPECT_FALSE(hex2bytes("0g", 1, bytes));
}

std::vector<HexKernel> all_kernels() {
    const HexKernel* const* kernels = nullptr;
    const std::size_t count = hex_kernels(&kernels);
    std::vector<HexKernel> all;
    for (std::size_t i = 0; i < count; ++i) {
        all.push_back(*kernels[i]);
    }
    return all;
}

std::vector<HexKernel> fast_kernels() {
    const std::vector<HexKernel> all = all_kernels();
    return std::vector<HexKernel>(all.begin() + 1, all.end());
}

TEST(HexCodec, FastKernelsMatchThePortableOnes) {
    std::mt19937 generator(7);
#if defined(WIDESAVE_HEX_SSE2) || defined(WIDESAVE_HEX_NEON)
    ASSERT_FALSE(fast_kernels().empty()) << "SSE2 and NEON are always there where compiled";
#endif
    for (const HexKernel& kernel : fast_kernels()) {
        SCOPED_TRACE(kernel.name);
        for (std::size_t length = 0; length <= 300; ++length) {
            SCOPED_TRACE(length);
            const std::string data = random_bytes(length, generator);
            std::string fast(2 * length, '?');
            std::string portable(2 * length, '?');
            kernel.encode(bytes_of(data), length, fast.data());
            kHexPortable.encode(bytes_of(data), length, portable.data());
            ASSERT_EQ(fast, portable);

            std::string lower = fast;
            for (char& c : lower) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            for (const std::string* text : {&fast, &lower}) {
                std::vector<unsigned char> a(length + 1);
                std::vector<unsigned char> b(length + 1);
                ASSERT_TRUE(kernel.decode(text->data(), length, a.data()));
                ASSERT_TRUE(kHexPortable.decode(text->data(), length, b.data()));
                ASSERT_EQ(std::string(a.begin(), a.begin() + length), data);
                ASSERT_EQ(a, b);
            }
        }
    }
}

// Texts placed at every alignment, so the terminator falls in every lane of
// an aligned vector, followed by a non-digit that must not count.
TEST(HexCodec, MeasuringStopsExactlyAtTheTerminator) {
    std::mt19937 generator(3);
    std::vector<char> buffer(std::size_t{2} * 300 + 96);
    const std::vector<HexKernel> kernels = all_kernels();
    for (std::size_t shift = 0; shift < 32; ++shift) {
        for (std::size_t length = 0; length <= std::size_t{2} * 300; length += 1 + length / 16) {
            char* text = buffer.data() + shift;
            for (std::size_t i = 0; i < length; ++i) {
                text[i] = "0123456789abcdefABCDEF"[generator() % 22];
            }
            text[length] = 0;
            text[length + 1] = 'G';
            for (const HexKernel& kernel : kernels) {
                std::size_t measured = 0;
                ASSERT_TRUE(kernel.measure(text, measured))
                    << kernel.name << " shift " << shift << " length " << length;
                ASSERT_EQ(measured, length) << kernel.name;
            }
            std::size_t measured = 0;
            ASSERT_TRUE(measure_hex_text(text, measured));
            ASSERT_EQ(measured, length);
        }
    }
}

TEST(HexCodec, EveryKernelRefusesANonDigitAnywhere) {
    const char boundary[] = {0x2F, 0x3A, 0x40, 0x47, 0x60, 0x67, 0x00, '\x80', '\xFF'};
    std::mt19937 generator(11);
    for (std::size_t length = 1; length <= 200; ++length) {
        std::string text(2 * length, '0');
        bytes2hex(bytes_of(random_bytes(length, generator)), length, text.data());
        // The first and last characters, and both sides of every 16-character
        // boundary, where a vector ends and the scalar tail begins.
        std::vector<std::size_t> positions = {0, text.size() - 1};
        for (std::size_t p = 15; p < text.size(); p += 16) {  // 16: the smallest block
            positions.push_back(p);
            if (p + 1 < text.size()) {
                positions.push_back(p + 1);
            }
        }
        for (const std::size_t p : positions) {
            for (const char c : boundary) {
                std::string bad = text;
                bad[p] = c;
                std::vector<unsigned char> out(length);
                for (const HexKernel& kernel : fast_kernels()) {
                    ASSERT_FALSE(kernel.decode(bad.data(), length, out.data()))
                        << kernel.name << " length " << length << " position " << p << " char "
                        << int(c);
                }
                ASSERT_FALSE(kHexPortable.decode(bad.data(), length, out.data()));
                // A NUL is where measuring ends: the text is then shorter.
                for (const HexKernel& kernel : all_kernels()) {
                    std::size_t measured = 0;
                    const bool accepted = kernel.measure(bad.c_str(), measured);
                    ASSERT_EQ(accepted, c == 0) << kernel.name << " position " << p;
                    ASSERT_TRUE(!accepted || measured == p) << kernel.name;
                }
            }
        }
    }
}

}  // namespace
