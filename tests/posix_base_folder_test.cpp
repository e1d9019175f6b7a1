// The POSIX fallbacks after LOCALAPPDATA and APPDATA, and environment values
// that are not UTF-8.
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/widesave_fixture.h"

namespace {

using PosixBaseFolder = WideSaveTest;

TEST_F(PosixBaseFolder, FallsBackToXdgDataHomeThenHome) {
    ASSERT_EQ(lib.SetSaveSubdirectory("game"), WIDESAVE_SUBDIR_SET);
    testsys::unset_env("LOCALAPPDATA");
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_NO_BASE_FOLDER) << "nothing names a base folder";

    const std::u16string home = join({root, u"home"});
    ASSERT_TRUE(testsys::make_directory(home));
    ASSERT_TRUE(testsys::make_directory(join({home, u".local"})));
    ASSERT_TRUE(testsys::make_directory(join({home, u".local", u"share"})));
    testsys::set_env("HOME", home);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({home, u".local", u"share", u"game"})));

    testsys::set_env("XDG_DATA_HOME", u"relative/data");
    testsys::set_env("HOME", home + u"/");
    ASSERT_EQ(lib.SetSaveSubdirectory("second"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK) << "a relative XDG_DATA_HOME is ignored";
    EXPECT_TRUE(testsys::is_directory(join({home, u".local", u"share", u"second"})));

    const std::u16string data_home = join({root, u"xdg \u00E9"});
    ASSERT_TRUE(testsys::make_directory(data_home));
    testsys::set_env("XDG_DATA_HOME", data_home);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    EXPECT_TRUE(testsys::is_directory(join({data_home, u"second"})));

    testsys::set_env("APPDATA", base);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK) << "APPDATA comes before the POSIX folders";
    EXPECT_TRUE(testsys::is_directory(join({base, u"second"})));
}

TEST_F(PosixBaseFolder, ValueThatIsNotUtf8IsRefusedNotGarbled) {
    ASSERT_EQ(lib.SetSaveSubdirectory("game"), WIDESAVE_SUBDIR_SET);
    const std::string raw = testsys::to_utf8(root) + "/bad\xFF";
    setenv("LOCALAPPDATA", raw.c_str(), 1);
    testsys::set_env("APPDATA", base);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_BASE_FOLDER_TOO_LONG)
        << "set but unusable, like one too long";

    testsys::unset_env("LOCALAPPDATA");
    testsys::unset_env("APPDATA");
    setenv("HOME", raw.c_str(), 1);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_BASE_FOLDER_TOO_LONG);
}

TEST_F(PosixBaseFolder, DirectoryIsOwnerOnly) {
    ASSERT_EQ(lib.SetSaveSubdirectory("private"), WIDESAVE_SUBDIR_SET);
    const mode_t previous = umask(0);
    EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK);
    umask(previous);
    struct stat status {};
    ASSERT_EQ(stat(testsys::to_utf8(join({base, u"private"})).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700U);
}

}  // namespace
