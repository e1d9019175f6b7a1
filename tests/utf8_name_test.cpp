// Which subdirectory names count as UTF-8: the same answers on every target,
// those of the Windows conversion with MB_ERR_INVALID_CHARS.
#include <string>

#include "support/widesave_fixture.h"

namespace {

struct NameCase {
    const char* what;
    const char* utf8;
    const char16_t* utf16;  // nullptr: refused
};

const NameCase kNameCases[] = {
    {"ASCII", "plain", u"plain"},
    {"lowest two-byte form", "\xC2\xA9", u"\u00A9"},
    {"highest two-byte form", "\xDF\xBF", u"\u07FF"},
    {"lowest three-byte form", "\xE0\xA0\x80", u"\u0800"},
    {"just below the surrogates", "\xED\x9F\xBF", u"\uD7FF"},
    {"just above the surrogates", "\xEE\x80\x80", u"\uE000"},
    {"replacement character", "\xEF\xBF\xBD", u"\uFFFD"},
    {"lowest four-byte form", "\xF0\x90\x80\x80", u"\U00010000"},
    {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"lone continuation byte", "\x80", nullptr},
    {"continuation byte between letters",
     "a\xBF"
     "b",
     nullptr},
    {"two-byte form cut at the end", "\xC3", nullptr},
    {"two-byte form cut by a letter",
     "\xC3"
     "a",
     nullptr},
    {"three-byte form cut", "\xE3\x82", nullptr},
    {"four-byte form cut", "\xF0\x9F\x98", nullptr},
    {"extra continuation byte", "\xE3\x82\xBB\x80", nullptr},
    {"overlong slash", "\xC0\xAF", nullptr},
    {"overlong two-byte maximum", "\xC1\xBF", nullptr},
    {"overlong three-byte form", "\xE0\x80\xAF", nullptr},
    {"overlong three-byte maximum", "\xE0\x9F\xBF", nullptr},
    {"overlong four-byte form", "\xF0\x8F\xBF\xBF", nullptr},
    {"encoded high surrogate", "\xED\xA0\x80", nullptr},
    {"encoded low surrogate", "\xED\xBF\xBF", nullptr},
    {"encoded surrogate pair", "\xED\xA0\xBD\xED\xB8\x80", nullptr},
    {"above U+10FFFF", "\xF4\x90\x80\x80", nullptr},
    {"lead byte F5", "\xF5\x80\x80\x80", nullptr},
    {"five-byte form", "\xF8\x88\x80\x80\x80", nullptr},
    {"byte FE", "\xFE", nullptr},
    {"byte FF", "\xFF", nullptr},
};

using Utf8Names = WideSaveTest;

TEST_F(Utf8Names, AcceptsExactlyWellFormedUtf8) {
    for (const NameCase& c : kNameCases) {
        SCOPED_TRACE(c.what);
        if (c.utf16 == nullptr) {
            EXPECT_EQ(lib.SetSaveSubdirectory(c.utf8), WIDESAVE_SUBDIR_NOT_UTF8);
            continue;
        }
        ASSERT_EQ(lib.SetSaveSubdirectory(c.utf8), WIDESAVE_SUBDIR_SET);
        EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
        EXPECT_TRUE(testsys::is_directory(join({base, c.utf16})));
    }
}

}  // namespace
