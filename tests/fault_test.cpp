// Faults injected below the platform layer of the test build, at each
// system call it makes: every failure leaves the previous save byte for
// byte, no temporary file, no open file and no scratch block behind.
#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#endif

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "faults/fault_control.h"
#include "support/slot_fixture.h"
#include "system_calls.h"

namespace {

using widesave::SystemCall;

#if defined(_WIN32)
constexpr int32_t kIoError = ERROR_IO_DEVICE;
constexpr int32_t kDiskFull = ERROR_DISK_FULL;
constexpr int32_t kDenied = ERROR_WRITE_PROTECT;
constexpr int32_t kHeld = ERROR_SHARING_VIOLATION;
constexpr int32_t kNoMemory = ERROR_NOT_ENOUGH_MEMORY;
// Every error a call is swept with: a hard failure, and the refusal that
// sends a writer round its wait.
constexpr int32_t kSweptErrors[] = {kIoError, kHeld};
#else
constexpr int32_t kIoError = EIO;
constexpr int32_t kDiskFull = ENOSPC;
constexpr int32_t kDenied = EACCES;
constexpr int32_t kHeld = EBUSY;
constexpr int32_t kNoMemory = ENOMEM;
constexpr int32_t kSweptErrors[] = {EIO, EWOULDBLOCK, EINTR};
#endif

int32_t id(SystemCall call) { return static_cast<int32_t>(call); }

class Faults : public SlotTest {
protected:
    void SetUp() override {
        SlotTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        resolve(fail, "widesave_fault_fail");
        resolve(reset, "widesave_fault_reset");
        resolve(calls, "widesave_fault_calls");
        resolve(counters, "widesave_fault_counters");
        resolve(peak_heap, "widesave_fault_peak_heap");
        resolve(fault_free, "widesave_fault_free");
        ASSERT_FALSE(HasFailure());
        free_text = fault_free;
        // The previous save: 'x' from the first write, 'v' from the second.
        ASSERT_EQ(lib.WriteSaveFile(1, "AA"), WIDESAVE_OK);
        ASSERT_EQ(lib.WriteSaveFile(1, "BBCC"), WIDESAVE_OK);
        before = listing();
    }

    template <typename Function>
    void resolve(Function& function, const char* name) {
        function = reinterpret_cast<Function>(find_export(lib.module, name));
        EXPECT_NE(function, nullptr) << name;
    }

    int32_t open_files() {
        int32_t files = 0;
        int32_t blocks = 0;
        counters(&files, &blocks);
        return files;
    }

    int32_t live_blocks() {
        int32_t files = 0;
        int32_t blocks = 0;
        counters(&files, &blocks);
        return blocks;
    }

    // The system calls the next call of `operation` makes, by kind.
    template <typename Operation>
    std::vector<int32_t> calls_of(Operation operation) {
        reset();
        operation();
        std::vector<int32_t> log(4096);
        log.resize(static_cast<std::size_t>(calls(log.data(), static_cast<int32_t>(log.size()))));
        reset();
        return log;
    }

    void expect_previous_save_intact() {
        EXPECT_EQ(testsys::read_file(file(1, u'v')), std::string("\xBB\xCC"));
        EXPECT_EQ(testsys::read_file(file(1, u'x')), std::string("\xAA"));
        EXPECT_EQ(listing(), before) << "no temporary file is left";
    }

    WidesaveFaultFail fail = nullptr;
    WidesaveFaultReset reset = nullptr;
    WidesaveFaultCalls calls = nullptr;
    WidesaveFaultCounters counters = nullptr;
    WidesaveFaultPeakHeap peak_heap = nullptr;
    WidesaveFaultFree fault_free = nullptr;
    std::vector<std::u16string> before;
};

struct WriteFault {
    const char* what;
    SystemCall call;
    int32_t skip, times, error, code;
};

TEST_F(Faults, FailedWriteKeepsThePreviousSave) {
    const WriteFault cases[] = {
        {"temporary file cannot be created", SystemCall::create_new, 0, 1, kDenied,
         WIDESAVE_WRITE_CANNOT_REPLACE},
        {"disk full", SystemCall::write, 0, 1, kDiskFull, WIDESAVE_WRITE_FAILED},
        {"flush fails", SystemCall::flush, 0, 1, kIoError, WIDESAVE_WRITE_FAILED},
        {"replace fails for good", SystemCall::rename, 0, 1, kIoError,
         WIDESAVE_WRITE_CANNOT_REPLACE},
        {"target held for good", SystemCall::rename, 0, -1, kHeld, WIDESAVE_WRITE_CANNOT_REPLACE},
        {"no memory for the bytes", SystemCall::allocate, 0, 1, kNoMemory, WIDESAVE_WRITE_BAD_TEXT},
    };
    for (const WriteFault& c : cases) {
        SCOPED_TRACE(c.what);
        const int32_t blocks = live_blocks();
        ASSERT_EQ(fail(id(c.call), c.skip, c.times, c.error), 0);
        EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), c.code);
        reset();
        expect_previous_save_intact();
        EXPECT_EQ(open_files(), 0);
        EXPECT_EQ(live_blocks(), blocks);
    }
    EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), WIDESAVE_OK) << "and the next write goes through";
    EXPECT_EQ(read_slot(1), "DDEEFF");
}

TEST_F(Faults, BrieflyHeldTargetIsRetriedOnWindowsOnly) {
    ASSERT_EQ(fail(id(SystemCall::rename), 0, 2, kHeld), 0);
#if defined(_WIN32)
    EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), WIDESAVE_OK);
    EXPECT_EQ(testsys::read_file(file(1, u'v')), std::string("\xDD\xEE\xFF"));
    EXPECT_EQ(listing(), before);
#else
    EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), WIDESAVE_WRITE_CANNOT_REPLACE)
        << "no retries outside Windows";
    expect_previous_save_intact();
#endif
    EXPECT_EQ(open_files(), 0);
}

// The rename took place, but it is not known to be on the disk: the caller
// hears of it, and the slot holds the new save.
TEST_F(Faults, FailedFlushAfterTheReplaceIsReported) {
#if defined(_WIN32)
    const SystemCall flush = SystemCall::flush;
    const int32_t skip = 1;  // the file's own flush comes first
#else
    const SystemCall flush = SystemCall::flush_directory;
    const int32_t skip = 0;
#endif
    for (const int32_t error : {kIoError, kDiskFull}) {
        ASSERT_EQ(fail(id(flush), skip, 1, error), 0);
        EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), WIDESAVE_WRITE_FAILED);
        reset();
        EXPECT_EQ(testsys::read_file(file(1, u'v')), std::string("\xDD\xEE\xFF"));
        EXPECT_EQ(listing(), before);
        EXPECT_EQ(open_files(), 0);
    }
#if !defined(_WIN32)
    ASSERT_EQ(fail(id(flush), 0, 1, EINVAL), 0);
    EXPECT_EQ(lib.WriteSaveFile(1, "01"), WIDESAVE_OK)
        << "a directory that cannot be flushed is no failure";
#endif
}

TEST_F(Faults, FailedFirstWriteLeavesNothing) {
    ASSERT_EQ(fail(id(SystemCall::write), 0, 1, kDiskFull), 0);
    EXPECT_EQ(lib.WriteSaveFile(2, "0102030405"), WIDESAVE_WRITE_FAILED);
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(lib.SaveFileExist(2), WIDESAVE_NO_SAVE_FILE);
}

// Fails each system call of a write in turn, with each error, and checks
// the slot afterwards: the new save whole after 0, the old one whole after
// anything else; nothing left open or allocated; and the next write clean.
TEST_F(Faults, EverySystemCallOfAWriteFailingInTurn) {
    const std::string fresh = to_hex(random_bytes(3000, 9));
    for (const int32_t slot : {1, 2}) {  // a later save, and a first one
        const std::vector<int32_t> log =
            calls_of([&] { ASSERT_EQ(lib.WriteSaveFile(slot, fresh.c_str()), WIDESAVE_OK); });
        ASSERT_GT(log.size(), 5u);
        if (slot == 1) {
            ASSERT_EQ(lib.WriteSaveFile(1, "BBCC"), WIDESAVE_OK);
        } else {
            testsys::remove_file(file(2, u'x'));
        }
        for (const int32_t error : kSweptErrors) {
            for (std::size_t k = 0; k < log.size(); ++k) {
                SCOPED_TRACE(testing::Message() << "slot " << slot << ", call " << k << " (kind "
                                                << log[k] << "), error " << error);
                const int32_t blocks = live_blocks();
                ASSERT_EQ(fail(WIDESAVE_ANY_CALL, static_cast<int32_t>(k), 1, error), 0);
                const int32_t code = lib.WriteSaveFile(slot, fresh.c_str());
                reset();
                EXPECT_EQ(open_files(), 0);
                EXPECT_EQ(live_blocks(), blocks);
                // A first save is the 'x' file, unless the probe could not tell
                // whether a 'v' file is there: then it is not passed over.
                auto saved = testsys::read_file(file(slot, u'v'));
                if (slot == 2 && !saved) {
                    saved = testsys::read_file(file(slot, u'x'));
                }
                const bool in_place = saved.has_value() && to_hex(*saved) == fresh;
                if (code == WIDESAVE_OK) {
                    EXPECT_TRUE(in_place) << "0, but the new save is not in place";
                } else if (slot == 1 && !in_place) {
                    EXPECT_TRUE(saved == std::string("\xBB\xCC")) << "code " << code;
                } else if (!in_place) {
                    EXPECT_FALSE(saved.has_value()) << "code " << code;
                }
                // Only 7 after a replace whose flush failed puts the new save in place.
                EXPECT_TRUE(code == WIDESAVE_OK || code == WIDESAVE_WRITE_FAILED || !in_place)
                    << "code " << code;
                const bool cleanup_failed =
                    log[k] == id(SystemCall::remove) || log[k] == id(SystemCall::discard);
                if (!cleanup_failed) {
                    EXPECT_EQ(listing().size(), before.size() + (slot == 2 && saved ? 1 : 0))
                        << "a temporary file is left";
                }
                // Put the slot back as it was, through the library.
                if (slot == 1) {
                    ASSERT_EQ(lib.WriteSaveFile(1, "BBCC"), WIDESAVE_OK);
                } else {
                    testsys::remove_file(file(2, u'x'));
                    testsys::remove_file(file(2, u'v'));
                }
                ASSERT_EQ(listing(), before);
            }
        }
    }
    expect_previous_save_intact();
}

TEST_F(Faults, EverySystemCallOfAReadFailingInTurn) {
    const std::vector<int32_t> log = calls_of([&] { EXPECT_EQ(read_slot(1), "BBCC"); });
    for (const int32_t error : kSweptErrors) {
        for (std::size_t k = 0; k < log.size(); ++k) {
            SCOPED_TRACE(testing::Message() << "call " << k << " (kind " << log[k] << ")");
            const int32_t blocks = live_blocks();
            ASSERT_EQ(fail(WIDESAVE_ANY_CALL, static_cast<int32_t>(k), 1, error), 0);
            char* text = lib.ReadSaveFile(1);
            reset();
            ASSERT_NE(text, nullptr);
            const std::string got = text;
            const bool allocated = live_blocks() == blocks + 1;
            if (allocated) {
                fault_free(text);
            }
            EXPECT_TRUE(got == "BBCC" || got.rfind("Error: ", 0) == 0) << got;
            EXPECT_TRUE(allocated || got == "Error: 4") << "only a constant text is not a block";
            EXPECT_EQ(open_files(), 0);
            EXPECT_EQ(live_blocks(), blocks);
        }
    }
    expect_previous_save_intact();
}

TEST_F(Faults, EverySystemCallOfMakingTheDirectoryFailingInTurn) {
    ASSERT_EQ(lib.SetSaveSubdirectory("made"), WIDESAVE_SUBDIR_SET);
    const std::u16string made = join({base, u"made"});
    const std::vector<int32_t> log =
        calls_of([&] { ASSERT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK); });
#if !defined(_WIN32)
    // The new entry lasts a power cut only once the base folder is flushed.
    EXPECT_NE(std::find(log.begin(), log.end(), id(SystemCall::flush_directory)), log.end());
#endif
    for (std::size_t k = 0; k < log.size(); ++k) {
        SCOPED_TRACE(testing::Message() << "call " << k << " (kind " << log[k] << ")");
        testsys::remove_tree(made);
        ASSERT_EQ(fail(WIDESAVE_ANY_CALL, static_cast<int32_t>(k), 1, kIoError), 0);
        const int32_t code = lib.MakeSaveDirectory();
        reset();
        EXPECT_TRUE(code == WIDESAVE_OK || code == WIDESAVE_DIRECTORY_NOT_MADE) << code;
        if (code == WIDESAVE_OK) {
            EXPECT_TRUE(testsys::is_directory(made));
        }
        EXPECT_EQ(open_files(), 0);
        EXPECT_EQ(lib.MakeSaveDirectory(), WIDESAVE_OK) << "and the next call makes it";
    }
}

struct ReadFault {
    const char* what;
    SystemCall call;
    int32_t skip, times, error;
    const char* text;
    int32_t blocks_kept;  // what the call leaves allocated: its result
};

TEST_F(Faults, FailedReadGivesItsErrorTextAndReleasesEverything) {
    const ReadFault cases[] = {
        {"cannot open", SystemCall::open_existing, 0, 1, kDenied, "Error: 2", 1},
        {"cannot take the size", SystemCall::file_status, 0, 1, kIoError, "Error: 3", 1},
        {"no memory for the text", SystemCall::allocate, 0, 1, kNoMemory, "Error: 4", 1},
        {"the read fails", SystemCall::read, 0, 1, kIoError, "Error: 5", 1},
        {"no memory even for the error text", SystemCall::allocate, 0, -1, kNoMemory, "Error: 4",
         0},
        {"no fault", SystemCall::allocate, 0, 0, 0, "BBCC", 1},
    };
    for (const ReadFault& c : cases) {
        SCOPED_TRACE(c.what);
        const int32_t blocks = live_blocks();
        ASSERT_EQ(fail(id(c.call), c.skip, c.times, c.error), 0);
        char* text = lib.ReadSaveFile(1);
        reset();
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(open_files(), 0);
        EXPECT_EQ(live_blocks(), blocks + c.blocks_kept);
        if (c.blocks_kept != 0) {
            fault_free(text);
        }
    }
    expect_previous_save_intact();
}

// A write holds one piece of at most 256 KiB however large the save; a read
// holds nothing but the text it returns.
TEST_F(Faults, HeapIsBoundedWhateverTheSaveSize) {
    constexpr int64_t kWriteBound = int64_t{256} * 1024;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1000}, std::size_t{1} << 20, (std::size_t{6} << 20) + 5}) {
        SCOPED_TRACE(size);
        const std::string text = to_hex(random_bytes(size, 3));
        peak_heap(1);
        ASSERT_EQ(lib.WriteSaveFile(2, text.c_str()), WIDESAVE_OK);
        const int64_t written = peak_heap(0);
        EXPECT_GE(written, std::min<int64_t>(static_cast<int64_t>(size), 1));
        EXPECT_LE(written, kWriteBound);

        peak_heap(1);
        char* read = lib.ReadSaveFile(2);
        EXPECT_EQ(peak_heap(0), static_cast<int64_t>(2 * size + 1)) << "read: the text alone";
        EXPECT_TRUE(read != nullptr && read == text);
        fault_free(read);
    }
}

}  // namespace
