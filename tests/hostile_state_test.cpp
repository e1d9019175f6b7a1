// Unusual things on disk and from the host: each gets a clear result, never
// a hang, a crash or a write through a link.
#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "support/slot_fixture.h"

namespace {

using HostileState = SlotTest;

TEST_F(HostileState, NullStringsFromTheHostAreRefused) {
    EXPECT_EQ(lib.SetSaveSubdirectory(nullptr), WIDESAVE_SUBDIR_NOT_UTF8);
    EXPECT_EQ(lib.WriteSaveFile(1, "AA"), WIDESAVE_OK) << "the name in force is still 'slots'";
    EXPECT_EQ(lib.WriteSaveFile(1, nullptr), WIDESAVE_WRITE_BAD_TEXT);
    EXPECT_EQ(lib.WriteSaveFile(2, nullptr), WIDESAVE_WRITE_BAD_TEXT);
    EXPECT_EQ(listing(), std::vector<std::u16string>{u"Save1.rxdata"});
    EXPECT_EQ(read_slot(1), "AA");
}

TEST_F(HostileState, StaleTemporaryFilesNeverBlockTheSlot) {
    const std::u16string stale = join({dir, u"Save1.rxtemp"});
    ASSERT_TRUE(testsys::write_file(stale, "left by a crash"));
    ASSERT_TRUE(testsys::set_read_only(stale, true));
#if defined(_WIN32)
    const std::wstring name(stale.begin(), stale.end());
    ASSERT_TRUE(SetFileAttributesW(
        name.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#endif
    EXPECT_EQ(lib.WriteSaveFile(1, "5A"), WIDESAVE_OK);
    EXPECT_EQ(read_slot(1), "5A");
    EXPECT_EQ(listing(), std::vector<std::u16string>{u"Save1.rxdata"});
}

// A save read as current must be the newest: a 'v' entry that is there but
// cannot be queried is not passed over for the older 'x' file.
TEST_F(HostileState, UnqueryableNewerSaveIsAnErrorNotTheOlderOne) {
    ASSERT_EQ(lib.WriteSaveFile(3, "0123"), WIDESAVE_OK);  // the x file
#if defined(_WIN32)
    // Held by another program that shares nothing: its attributes can still
    // be read, so here the probe finds it and the read reports it held.
    ASSERT_EQ(lib.WriteSaveFile(3, "4567"), WIDESAVE_OK);
    void* owner = testsys::hold_file(file(3, u'v'), 0);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(read_slot(3), "Error: 2");
    testsys::release_file(owner);
#else
    const std::string v = testsys::to_utf8(file(3, u'v'));
    for (const std::string& target : {v, testsys::to_utf8(join({root, u"unmounted", u"save"}))}) {
        SCOPED_TRACE(target == v ? "a link to itself" : "a link into a missing drive");
        ASSERT_EQ(symlink(target.c_str(), v.c_str()), 0);
        EXPECT_EQ(lib.SaveFileExist(3), WIDESAVE_FILE_V);
        EXPECT_EQ(read_slot(3), "Error: 2");
        EXPECT_EQ(lib.WriteSaveFile(3, "89"), WIDESAVE_OK)
            << "a write puts a plain file in its place";
        EXPECT_EQ(read_slot(3), "89");
        ASSERT_TRUE(testsys::remove_file(file(3, u'v')));
    }
    EXPECT_EQ(read_slot(3), "0123");
#endif
}

#if !defined(_WIN32)
TEST_F(HostileState, LinksAtTheTemporaryNameAreRemovedNeverFollowed) {
    ASSERT_EQ(lib.WriteSaveFile(1, "01"), WIDESAVE_OK);
    ASSERT_EQ(lib.WriteSaveFile(1, "0203"), WIDESAVE_OK);
    const std::string save = testsys::to_utf8(file(1, u'v'));
    const std::string temporary = testsys::to_utf8(join({dir, u"Save1.rvtemp"}));
    const std::u16string outside = join({root, u"outside"});
    ASSERT_TRUE(testsys::write_file(outside, "not a save"));

    ASSERT_EQ(symlink(testsys::to_utf8(outside).c_str(), temporary.c_str()), 0);
    EXPECT_EQ(lib.WriteSaveFile(1, "0405"), WIDESAVE_OK);
    EXPECT_EQ(testsys::read_file(outside), "not a save");
    EXPECT_EQ(read_slot(1), "0405");

    // A hard link to the save itself: the save's bytes are never truncated
    // in place (another name for them keeps them whole).
    const std::string kept = testsys::to_utf8(join({root, u"kept"}));
    ASSERT_EQ(link(save.c_str(), kept.c_str()), 0);
    ASSERT_EQ(link(save.c_str(), temporary.c_str()), 0);
    EXPECT_EQ(lib.WriteSaveFile(1, "0607"), WIDESAVE_OK);
    EXPECT_EQ(testsys::read_file(join({root, u"kept"})), std::string("\x04\x05"));
    EXPECT_EQ(read_slot(1), "0607");
    EXPECT_EQ(listing(), (std::vector<std::u16string>{u"Save1.rvdata", u"Save1.rxdata"}));
}

// Nothing blocks on a pipe: not at the temporary name, not in a save's place.
TEST_F(HostileState, PipesNeverHangACall) {
    const std::string temporary = testsys::to_utf8(join({dir, u"Save1.rxtemp"}));
    ASSERT_EQ(mkfifo(temporary.c_str(), 0600), 0);
    EXPECT_EQ(lib.WriteSaveFile(1, "AB"), WIDESAVE_OK);
    EXPECT_EQ(listing(), std::vector<std::u16string>{u"Save1.rxdata"});

    const std::string save = testsys::to_utf8(file(2, u'v'));
    ASSERT_EQ(mkfifo(save.c_str(), 0600), 0);
    EXPECT_EQ(read_slot(2).rfind("Error: ", 0), 0u);
    EXPECT_EQ(lib.WriteSaveFile(2, "CD"), WIDESAVE_OK) << "a write replaces it";
    EXPECT_EQ(read_slot(2), "CD");
}

// As another user than the one who left it (here: root), a stale temporary
// file that user cannot open never blocks the slot. Needs root to set up.
TEST_F(HostileState, StaleTemporaryFileOfAnotherUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a file of another user";
    }
    const std::u16string stale = join({dir, u"Save1.rxtemp"});
    ASSERT_TRUE(testsys::write_file(stale, "root's"));
    ASSERT_EQ(chmod(testsys::to_utf8(stale).c_str(), 0400), 0);
    constexpr uid_t kUser = 65534;
    for (const std::u16string& path : {root, base, dir}) {
        ASSERT_EQ(chown(testsys::to_utf8(path).c_str(), kUser, kUser), 0);
    }
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(kUser) == 0 && setuid(kUser) == 0;
        _exit(!dropped ? 2 : lib.WriteSaveFile(1, "77") == 0 ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(read_slot(1), "77");
    EXPECT_EQ(listing(), std::vector<std::u16string>{u"Save1.rxdata"});
}
#else
// Windows drops a trailing space (and, depending on the system, a dot) from
// a name, and takes NUL or COM1 as devices: slot paths would never reach
// what was made. MakeSaveDirectory says 0 only when writes then work.
TEST_F(HostileState, NamesTheSystemAltersAreRefused) {
    struct Name {
        const char* name;
        bool refused;  // always, not only on some systems
    };
    for (const Name& c :
         {Name{"trailing ", true}, Name{"NUL", true}, Name{"COM1", true}, Name{"dotted.", false}}) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(lib.SetSaveSubdirectory(c.name), WIDESAVE_SUBDIR_SET);
        const int32_t made = lib.MakeSaveDirectory();
        if (made == 0 && !c.refused) {
            EXPECT_EQ(lib.WriteSaveFile(1, "AA"), WIDESAVE_OK);
            EXPECT_EQ(read_slot(1), "AA");
            continue;
        }
        EXPECT_EQ(made, 5);
        EXPECT_EQ(lib.WriteSaveFile(1, "AA"), WIDESAVE_WRITE_CANNOT_REPLACE);
    }
    const auto made = testsys::list_directory(base);
    EXPECT_EQ(std::count(made.begin(), made.end(), u"trailing"), 0)
        << "nothing is left made under another name";
}
#endif

}  // namespace
