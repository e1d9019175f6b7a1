// Slot file names and SaveFileExist.
#include <climits>

#include "support/slot_fixture.h"

namespace {

using SlotNames = SlotTest;

TEST_F(SlotNames, ProbePrefersTheVFileAndSkipsDirectories) {
    struct Case {
        const char* what;
        bool v_file, x_file, v_directory;
        int32_t expected;
    };
    const Case cases[] = {
        {"no file", false, false, false, -1},
        {"only x", false, true, false, 1},
        {"only v", true, false, false, 0},
        {"both", true, true, false, 0},
        {"directory named like v beside an x file", false, true, true, 1},
        {"only a directory named like v", false, false, true, -1},
    };
    int32_t slot = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ++slot;
        ASSERT_TRUE(!c.v_file || testsys::write_file(file(slot, u'v'), "v"));
        ASSERT_TRUE(!c.x_file || testsys::write_file(file(slot, u'x'), "x"));
        ASSERT_TRUE(!c.v_directory || testsys::make_directory(file(slot, u'v')));
        EXPECT_EQ(lib.SaveFileExist(slot), c.expected);
    }
}

TEST_F(SlotNames, SlotNumberIsPrintedInDecimal) {
    for (const int32_t slot : {-1, 0, 7, 100, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(slot);
        ASSERT_EQ(lib.WriteSaveFile(slot, "01"), WIDESAVE_OK);
        EXPECT_EQ(testsys::read_file(file(slot, u'x')), std::string("\x01"));
        EXPECT_EQ(lib.SaveFileExist(slot), WIDESAVE_FILE_X);
    }
    EXPECT_EQ(listing().size(), 6U) << "one file per slot, nothing else";
    EXPECT_TRUE(testsys::is_file(join({dir, u"Save-1.rxdata"})));
    EXPECT_TRUE(testsys::is_file(join({dir, u"Save-2147483648.rxdata"})));
}

TEST_F(SlotNames, LengthLimitIs244UnitsOfBaseAndSubdirectory) {
    // 236 + 8 = 244: slot paths of one or two digits fit, three need more.
    const std::u16string long_base = make_base_of_length(236);
    ASSERT_EQ(long_base.size(), 236U);
    testsys::set_env("LOCALAPPDATA", long_base);
    ASSERT_EQ(lib.SetSaveSubdirectory("12345678"), WIDESAVE_SUBDIR_SET);
    ASSERT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);

    EXPECT_EQ(lib.WriteSaveFile(99, "AB"), WIDESAVE_OK);
    EXPECT_EQ(lib.SaveFileExist(99), WIDESAVE_FILE_X);
    EXPECT_EQ(read_slot(99), "AB");
    EXPECT_EQ(lib.WriteSaveFile(99, "CD"), WIDESAVE_OK)
        << "the second write's temporary name fits too";
    EXPECT_EQ(read_slot(99), "CD");
    EXPECT_EQ(lib.WriteSaveFile(100, "AB"), WIDESAVE_PATH_DOES_NOT_FIT);
    EXPECT_EQ(lib.WriteSaveFile(-10, "AB"), WIDESAVE_PATH_DOES_NOT_FIT);
    EXPECT_EQ(lib.SaveFileExist(100), WIDESAVE_NO_SAVE_FILE)
        << "a name that cannot be built is no save";

    ASSERT_EQ(lib.SetSaveSubdirectory("123456789"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.SaveFileExist(1), WIDESAVE_NO_SAVE_FILE);
    EXPECT_EQ(lib.WriteSaveFile(1, "AB"), WIDESAVE_PATH_TOO_LONG);
    EXPECT_EQ(read_slot(1), "Error: 1");
}

TEST_F(SlotNames, NoBaseFolderMeansNoSaveAndNoFileTouched) {
    ASSERT_EQ(lib.WriteSaveFile(4, "C0FFEE"), WIDESAVE_OK);
    EXPECT_EQ(read_slot(4), "C0FFEE");  // filename_buffer now names slot 4's file

    testsys::unset_env("LOCALAPPDATA");
    EXPECT_EQ(lib.SaveFileExist(4), WIDESAVE_NO_SAVE_FILE);
    EXPECT_EQ(read_slot(4), "Error: 1") << "the last path built must not be read";
    EXPECT_EQ(read_slot(5), "Error: 1");
    EXPECT_EQ(lib.WriteSaveFile(4, "00"), WIDESAVE_NO_BASE_FOLDER);
    EXPECT_EQ(testsys::read_file(file(4, u'x')), std::string("\xC0\xFF\xEE"));
    EXPECT_EQ(listing().size(), 1U);
}

}  // namespace
