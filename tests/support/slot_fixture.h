// Tests of slot files: the subdirectory "slots" is set and made.
#ifndef WIDESAVE_TESTS_SLOT_FIXTURE_H
#define WIDESAVE_TESTS_SLOT_FIXTURE_H

#include <random>
#include <string>
#include <vector>

#include "widesave_fixture.h"

class SlotTest : public WideSaveTest {
protected:
    void SetUp() override {
        WideSaveTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(lib.SetSaveSubdirectory("slots"), 0);
        ASSERT_EQ(lib.MakeSaveDirectory(), 0);
        dir = join({base, u"slots"});
    }

    std::u16string file(int32_t slot, char16_t letter) const {
        const std::string number = std::to_string(slot);
        return join({dir, u"Save" + std::u16string(number.begin(), number.end()) + u".r" + letter +
                              u"data"});
    }

    std::vector<std::u16string> listing() const { return testsys::list_directory(dir); }

    static std::string to_hex(const std::string& bytes) {
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        for (const char c : bytes) {
            const auto value = static_cast<unsigned char>(c);
            text += digits[value >> 4];
            text += digits[value & 0xF];
        }
        return text;
    }

    static std::string random_bytes(std::size_t count, unsigned seed) {
        std::mt19937 generator(seed);
        std::string bytes(count, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(generator() & 0xFF);
        }
        return bytes;
    }

    std::u16string dir;
};

#endif
