// SetSaveSubdirectory and MakeSaveDirectory through the exports.
#include <string>

#include "support/widesave_fixture.h"

namespace {

using SaveDirectory = WideSaveTest;

// UTF-8 of n copies of U+00E9, two bytes each.
std::string accented_name(std::size_t bytes) {
    std::string name;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        name += "\xC3\xA9";
    }
    if (bytes % 2 != 0) {
        name += 'a';
    }
    return name;
}

TEST_F(SaveDirectory, FreshLoadUsesTheBaseFolderItself) {
    // No name set yet: the directory is the base folder plus a separator,
    // so the base folder's own last level is what gets created.
    const std::u16string fresh = join({root, u"fresh"});
    testsys::set_env("LOCALAPPDATA", fresh);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(fresh));
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
}

TEST_F(SaveDirectory, UnicodeBaseFolderAndNameReachTheDiskUnchanged) {
    const std::u16string unicode_base = join({root, u"Ça va \u00FC \u65E5\u672C\u8A9E \U0001F3AE"});
    ASSERT_TRUE(testsys::make_directory(unicode_base));
    testsys::set_env("LOCALAPPDATA", unicode_base);

    ASSERT_EQ(lib.SetSaveSubdirectory("Sauvegardes \xC3\xA9 \xE3\x82\xBB\xE3\x83\xBC\xE3\x83\x96 "
                                      "\xF0\x9F\x98\x80"),
              WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(
        join({unicode_base, u"Sauvegardes \u00E9 \u30BB\u30FC\u30D6 \U0001F600"})));
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK) << "an existing directory is success";
}

TEST_F(SaveDirectory, NameLengthLimitIs130Bytes) {
    const std::string longest = accented_name(130);
    ASSERT_EQ(lib.SetSaveSubdirectory(longest.c_str()), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.SetSaveSubdirectory(accented_name(131).c_str()), WIDESAVE_SUBDIR_TOO_LONG);
    EXPECT_EQ(lib.SetSaveSubdirectory(std::string(131, 'a').c_str()), WIDESAVE_SUBDIR_TOO_LONG);

    // The refused names left the 130-byte one in force.
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({base, std::u16string(65, u'\u00E9')})));
}

TEST_F(SaveDirectory, RefusedNameKeepsThePreviousOne) {
    ASSERT_EQ(lib.SetSaveSubdirectory("kept"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.SetSaveSubdirectory("bad\xFF"), WIDESAVE_SUBDIR_NOT_UTF8);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({base, u"kept"})));
}

TEST_F(SaveDirectory, EmptyNameIsTheBaseFolder) {
    ASSERT_EQ(lib.SetSaveSubdirectory("first"), WIDESAVE_SUBDIR_SET);
    ASSERT_EQ(lib.SetSaveSubdirectory(""), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_FALSE(testsys::is_directory(join({base, u"first"})));
}

TEST_F(SaveDirectory, BaseFolderFallsBackToAppdata) {
    const std::u16string appdata = join({root, u"roaming"});
    ASSERT_TRUE(testsys::make_directory(appdata));
    ASSERT_EQ(lib.SetSaveSubdirectory("game"), WIDESAVE_SUBDIR_SET);

    testsys::set_env("APPDATA", appdata);
    testsys::unset_env("LOCALAPPDATA");
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({appdata, u"game"})));

    testsys::remove_tree(join({appdata, u"game"}));
    testsys::set_env("LOCALAPPDATA", u"");
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK) << "an empty LOCALAPPDATA counts as unset";
    EXPECT_TRUE(testsys::is_directory(join({appdata, u"game"})));
    EXPECT_FALSE(testsys::is_directory(join({base, u"game"})));

    testsys::unset_env("APPDATA");
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_NO_BASE_FOLDER);
    testsys::set_env("APPDATA", u"");
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_NO_BASE_FOLDER);
}

TEST_F(SaveDirectory, LongLocalAppDataIsAnErrorEvenWithShortAppdata) {
    testsys::set_env("APPDATA", base);
    testsys::set_env("LOCALAPPDATA", std::u16string(260, u'a'));
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_BASE_FOLDER_TOO_LONG);
    testsys::set_env("LOCALAPPDATA", std::u16string(400, u'a'));
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_BASE_FOLDER_TOO_LONG);
    // 259 units fit the buffer; only the path's length test fails then.
    testsys::set_env("LOCALAPPDATA", std::u16string(259, u'a'));
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_PATH_TOO_LONG);
}

TEST_F(SaveDirectory, PathLengthLimitCountsUtf16Units) {
    const std::u16string long_base = make_base_of_length(250);
    ASSERT_EQ(long_base.size(), 250U);
    testsys::set_env("LOCALAPPDATA", long_base);

    ASSERT_EQ(lib.SetSaveSubdirectory("12345678"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK) << "250 + 8 + 2 = 260 fits";
    EXPECT_TRUE(testsys::is_directory(join({long_base, u"12345678"})));

    ASSERT_EQ(lib.SetSaveSubdirectory("123456789"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_PATH_TOO_LONG);
    // Units, not bytes: seven units, one of them outside the BMP, is 8.
    ASSERT_EQ(lib.SetSaveSubdirectory("12345\xF0\x9F\x98\x80"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({long_base, u"12345\U0001F600"})));
}

TEST_F(SaveDirectory, PlainFileInTheWayIsAFailure) {
    ASSERT_TRUE(testsys::write_file(join({base, u"taken"}), "not a directory"));
    ASSERT_EQ(lib.SetSaveSubdirectory("taken"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_DIRECTORY_NOT_MADE);
    EXPECT_TRUE(testsys::is_file(join({base, u"taken"})));
}

TEST_F(SaveDirectory, OnlyTheLastLevelIsCreated) {
#if defined(_WIN32)
    ASSERT_EQ(lib.SetSaveSubdirectory("missing\\inner"), WIDESAVE_SUBDIR_SET);
#else
    ASSERT_EQ(lib.SetSaveSubdirectory("missing/inner"), WIDESAVE_SUBDIR_SET);
#endif
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_DIRECTORY_NOT_MADE);
    EXPECT_FALSE(testsys::is_directory(join({base, u"missing"})));

    ASSERT_TRUE(testsys::make_directory(join({base, u"missing"})));
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({base, u"missing", u"inner"})));
}

}  // namespace
