// ReadSaveFile and WriteSaveFile through the exports.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/slot_fixture.h"

namespace {

using SlotIo = SlotTest;

TEST_F(SlotIo, FirstWriteGoesToXLaterOnesToV) {
    EXPECT_EQ(read_slot(2), "Error: 1");
    ASSERT_EQ(lib.WriteSaveFile(2, "48656C6C6F"), WIDESAVE_OK);
    EXPECT_EQ(testsys::read_file(file(2, u'x')), "Hello");
    EXPECT_FALSE(testsys::is_file(file(2, u'v')));
    EXPECT_EQ(read_slot(2), "48656C6C6F");

    ASSERT_EQ(lib.WriteSaveFile(2, "0aff"), WIDESAVE_OK) << "lower case is accepted";
    EXPECT_EQ(testsys::read_file(file(2, u'v')), std::string("\x0A\xFF"));
    EXPECT_EQ(testsys::read_file(file(2, u'x')), "Hello") << "the older x file stays";
    EXPECT_EQ(read_slot(2), "0AFF") << "reads prefer v and answer in upper case";

    ASSERT_EQ(lib.WriteSaveFile(2, ""), WIDESAVE_OK);
    EXPECT_EQ(testsys::read_file(file(2, u'v')), "");
    EXPECT_EQ(read_slot(2), "");
    EXPECT_EQ(listing(), (std::vector<std::u16string>{u"Save2.rvdata", u"Save2.rxdata"}));
}

TEST_F(SlotIo, BadTextLeavesTheSaveAndDirectoryUntouched) {
    ASSERT_EQ(lib.WriteSaveFile(1, "0102"), WIDESAVE_OK);
    const auto before = listing();
    // Every character just outside the digit ranges, a space, and bytes
    // that are negative as signed characters: at the start, the end, and
    // either side of where 16-character blocks meet.
    const std::string good = to_hex(random_bytes(64, 5));
    const char bad[] = {0x2F, 0x3A, 0x40, 0x47, 0x60, 0x67, ' ', '\x80', '\xFF'};
    for (const char c : bad) {
        for (const std::size_t position : {0, 15, 16, 31, 32, 127}) {
            SCOPED_TRACE(testing::Message()
                         << "char " << static_cast<int>(c) << " at " << position);
            std::string text = good;
            text[position] = c;
            EXPECT_EQ(lib.WriteSaveFile(1, text.c_str()), WIDESAVE_WRITE_BAD_TEXT);
        }
    }
    EXPECT_EQ(lib.WriteSaveFile(1, "ABC"), WIDESAVE_WRITE_BAD_TEXT) << "odd length";
    EXPECT_EQ(lib.WriteSaveFile(1, "0x12"), WIDESAVE_WRITE_BAD_TEXT);
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(testsys::read_file(file(1, u'x')), std::string("\x01\x02"));
}

TEST_F(SlotIo, EveryByteValueAndLargeSavesRoundTrip) {
    std::string all_values;
    for (int b = 0; b < 256; ++b) {
        all_values += static_cast<char>(b);
    }
    const std::string large = random_bytes(6 * 1024 * 1024 + 3, 20261211);
    const std::string* const datasets[] = {&all_values, &large};
    for (const std::string* data : datasets) {
        ASSERT_EQ(lib.WriteSaveFile(8, to_hex(*data).c_str()), WIDESAVE_OK);
        EXPECT_TRUE(read_slot(8) == to_hex(*data));
    }
    EXPECT_TRUE(testsys::read_file(file(8, u'v')) == large);
    EXPECT_TRUE(testsys::read_file(file(8, u'x')) == all_values);
}

TEST_F(SlotIo, EachReadResultIsAFreshBlock) {
    ASSERT_EQ(lib.WriteSaveFile(3, "AA"), WIDESAVE_OK);
    std::vector<char*> results;
    for (int i = 0; i < 2; ++i) {
        results.push_back(lib.ReadSaveFile(3));
        results.push_back(lib.ReadSaveFile(4));
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        ASSERT_NE(results[i], nullptr);
        EXPECT_STREQ(results[i], i % 2 == 0 ? "AA" : "Error: 1");
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(results[i], results[j]);
        }
    }
    for (char* text : results) {
        std::free(text);
    }
}

TEST_F(SlotIo, NoSaveDirectoryMeansCode6AndNothingCreated) {
    ASSERT_EQ(lib.SetSaveSubdirectory("never made"), WIDESAVE_SUBDIR_SET);
    EXPECT_EQ(lib.WriteSaveFile(1, "AA"), WIDESAVE_WRITE_CANNOT_REPLACE);
    EXPECT_FALSE(testsys::is_directory(join({base, u"never made"})));
}

TEST_F(SlotIo, ReadOnlySaveIsNeverReplaced) {
    ASSERT_EQ(lib.WriteSaveFile(5, "01"), WIDESAVE_OK);
    ASSERT_EQ(lib.WriteSaveFile(5, "02"), WIDESAVE_OK);
    ASSERT_TRUE(testsys::set_read_only(file(5, u'v'), true));
    EXPECT_EQ(lib.WriteSaveFile(5, "03"), WIDESAVE_WRITE_CANNOT_REPLACE);
    EXPECT_EQ(read_slot(5), "02");
    EXPECT_EQ(listing(), (std::vector<std::u16string>{u"Save5.rvdata", u"Save5.rxdata"}));
    ASSERT_TRUE(testsys::set_read_only(file(5, u'v'), false));
    EXPECT_EQ(lib.WriteSaveFile(5, "04"), WIDESAVE_OK);
    EXPECT_EQ(read_slot(5), "04");
}

TEST_F(SlotIo, StaleTemporaryFileIsReplacedAndRemoved) {
    ASSERT_TRUE(testsys::write_file(join({dir, u"Save6.rxtemp"}), "left by a crash"));
    EXPECT_EQ(lib.SaveFileExist(6), WIDESAVE_NO_SAVE_FILE) << "a temporary file is no save";
    ASSERT_EQ(lib.WriteSaveFile(6, "5A"), WIDESAVE_OK);
    EXPECT_EQ(listing(), std::vector<std::u16string>{u"Save6.rxdata"});
    EXPECT_EQ(read_slot(6), "5A");
}

TEST_F(SlotIo, FilesOfAGibibyteOrMoreAreRefusedNotWrapped) {
    // 2^30 bytes would need a hex text longer than a signed 32-bit count;
    // 2^32 + 5 would read as 5 bytes if the size wrapped.
    ASSERT_TRUE(testsys::make_sparse_file(file(7, u'x'), 1ULL << 30));
    EXPECT_EQ(read_slot(7), "Error: 4");
    ASSERT_TRUE(testsys::make_sparse_file(file(7, u'x'), (1ULL << 32) + 5));
    EXPECT_EQ(read_slot(7), "Error: 4");
    ASSERT_TRUE(testsys::make_sparse_file(file(7, u'x'), 5));
    EXPECT_EQ(read_slot(7), "0000000000");
}

#if defined(_WIN32)
TEST_F(SlotIo, SaveHeldByAnotherProgram) {
    ASSERT_EQ(lib.WriteSaveFile(9, "11"), WIDESAVE_OK);
    ASSERT_EQ(lib.WriteSaveFile(9, "22"), WIDESAVE_OK);

    // Held with reads shared only: it cannot be replaced, and stays whole.
    void* reader = testsys::hold_file(file(9, u'v'), FILE_SHARE_READ);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(lib.WriteSaveFile(9, "33"), WIDESAVE_WRITE_CANNOT_REPLACE);
    testsys::release_file(reader);
    EXPECT_EQ(read_slot(9), "22");
    EXPECT_EQ(listing(), (std::vector<std::u16string>{u"Save9.rvdata", u"Save9.rxdata"}));

    // Held exclusively: it cannot even be opened for reading.
    void* owner = testsys::hold_file(file(9, u'v'), 0);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(read_slot(9), "Error: 2");
    testsys::release_file(owner);
    EXPECT_EQ(read_slot(9), "22");
}

// Every path, errors included, closes what it opened.
TEST_F(SlotIo, NoHandleOutlivesACall) {
    // Wine reports no handle count, but hands out the lowest free handle:
    // the next handle's value moves when a call leaves one open.
    auto handles = [] {
        HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(probe);
        return reinterpret_cast<std::uintptr_t>(probe);
    };
    ASSERT_EQ(lib.WriteSaveFile(3, "01"), WIDESAVE_OK);
    ASSERT_EQ(lib.WriteSaveFile(3, "02"), WIDESAVE_OK);
    void* held = testsys::hold_file(file(3, u'x'), FILE_SHARE_READ);
    ASSERT_NE(held, nullptr);
    ASSERT_TRUE(testsys::set_read_only(file(3, u'v'), true));

    struct Call {
        const char* what;
        std::function<void()> call;
    };
    const Call calls[] = {
        {"read", [&] { EXPECT_EQ(read_slot(3), "02"); }},
        {"read of no save", [&] { EXPECT_EQ(read_slot(4), "Error: 1"); }},
        {"write of bad text",
         [&] { EXPECT_EQ(lib.WriteSaveFile(3, "0G"), WIDESAVE_WRITE_BAD_TEXT); }},
        {"write over a read-only save",
         [&] { EXPECT_EQ(lib.WriteSaveFile(3, "03"), WIDESAVE_WRITE_CANNOT_REPLACE); }},
        {"first write", [&] { EXPECT_EQ(lib.WriteSaveFile(5, "05"), WIDESAVE_OK); }},
        {"second write", [&] { EXPECT_EQ(lib.WriteSaveFile(5, "06"), WIDESAVE_OK); }},
        {"write into no directory",
         [&] {
             ASSERT_EQ(lib.SetSaveSubdirectory("absent"), WIDESAVE_SUBDIR_SET);
             EXPECT_EQ(lib.WriteSaveFile(3, "03"), WIDESAVE_WRITE_CANNOT_REPLACE);
             ASSERT_EQ(lib.SetSaveSubdirectory("slots"), WIDESAVE_SUBDIR_SET);
         }},
        {"existence probe", [&] { EXPECT_EQ(lib.SaveFileExist(3), WIDESAVE_FILE_V); }},
        {"directory", [&] { EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK); }},
    };
    for (const Call& c : calls) {
        SCOPED_TRACE(c.what);
        const std::uintptr_t before = handles();
        c.call();
        EXPECT_EQ(handles(), before);
    }
    const std::uintptr_t before = handles();
    void* owner = testsys::hold_file(file(5, u'v'), 0);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(read_slot(5), "Error: 2");
    EXPECT_EQ(lib.WriteSaveFile(5, "07"), WIDESAVE_WRITE_CANNOT_REPLACE)
        << "a save held exclusively is not replaced";
    testsys::release_file(owner);
    EXPECT_EQ(handles(), before);
    testsys::release_file(held);
    ASSERT_TRUE(testsys::set_read_only(file(3, u'v'), false));
}
#endif

}  // namespace
