// Faults injected at the platform layer of the test build: every failure
// leaves the previous save byte for byte, no temporary file, no open file
// and no scratch block behind.
#include <cstring>
#include <string>
#include <vector>

#include "fault_points.h"
#include "support/slot_fixture.h"

namespace {

class Faults : public SlotTest {
protected:
    void SetUp() override {
        SlotTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        inject =
            reinterpret_cast<WidesaveInjectFault>(find_export(lib.module, "widesave_inject_fault"));
        counters = reinterpret_cast<WidesaveFaultCounters>(
            find_export(lib.module, "widesave_fault_counters"));
        peak_heap = reinterpret_cast<WidesaveFaultPeakHeap>(
            find_export(lib.module, "widesave_fault_peak_heap"));
        ASSERT_NE(inject, nullptr);
        ASSERT_NE(counters, nullptr);
        ASSERT_NE(peak_heap, nullptr);
        // The previous save: 'x' from the first write, 'v' from the second.
        ASSERT_EQ(lib.WriteSaveFile(1, "AA"), 0);
        ASSERT_EQ(lib.WriteSaveFile(1, "BBCC"), 0);
        before = listing();
    }

    int32_t open_files() {
        int32_t files = 0, blocks = 0;
        counters(&files, &blocks);
        return files;
    }

    int32_t live_blocks() {
        int32_t files = 0, blocks = 0;
        counters(&files, &blocks);
        return blocks;
    }

    void expect_previous_save_intact() {
        EXPECT_EQ(testsys::read_file(file(1, u'v')), std::string("\xBB\xCC"));
        EXPECT_EQ(testsys::read_file(file(1, u'x')), std::string("\xAA"));
        EXPECT_EQ(listing(), before) << "no temporary file is left";
    }

    WidesaveInjectFault inject = nullptr;
    WidesaveFaultCounters counters = nullptr;
    WidesaveFaultPeakHeap peak_heap = nullptr;
    std::vector<std::u16string> before;
};

struct WriteFault {
    const char* what;
    int32_t point, skip, times, code;
};

TEST_F(Faults, FailedWriteKeepsThePreviousSave) {
    const WriteFault cases[] = {
        {"temporary file cannot be created", kFaultCreateForWriting, 0, 1, 6},
        {"disk full part-way", kFaultDiskFull, 0, 1, 7},
        {"flush fails", kFaultFlush, 0, 1, 7},
        {"replace fails for good", kFaultReplaceFailed, 0, 1, 6},
        {"target held for good", kFaultReplaceBusy, 0, -1, 6},
        {"no memory for the bytes", kFaultAllocate, 0, 1, 5},
    };
    for (const WriteFault& c : cases) {
        SCOPED_TRACE(c.what);
        const int32_t blocks = live_blocks();
        ASSERT_EQ(inject(c.point, c.skip, c.times), 0);
        EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), c.code);
        ASSERT_EQ(inject(c.point, 0, 0), 0);
        expect_previous_save_intact();
        EXPECT_EQ(open_files(), 0);
        EXPECT_EQ(live_blocks(), blocks);
    }
    EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), 0) << "and the next write goes through";
    EXPECT_EQ(read_slot(1), "DDEEFF");
}

TEST_F(Faults, BrieflyHeldTargetIsRetriedOnWindowsOnly) {
    ASSERT_EQ(inject(kFaultReplaceBusy, 0, 2), 0);
#if defined(_WIN32)
    EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), 0);
    EXPECT_EQ(testsys::read_file(file(1, u'v')), std::string("\xDD\xEE\xFF"));
    EXPECT_EQ(listing(), before);
#else
    EXPECT_EQ(lib.WriteSaveFile(1, "DDEEFF"), 6) << "no retries outside Windows";
    expect_previous_save_intact();
#endif
    EXPECT_EQ(open_files(), 0);
}

TEST_F(Faults, FailedFirstWriteLeavesNothing) {
    ASSERT_EQ(inject(kFaultDiskFull, 0, 1), 0);
    EXPECT_EQ(lib.WriteSaveFile(2, "0102030405"), 7);
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(lib.SaveFileExist(2), -1);
}

struct ReadFault {
    const char* what;
    int32_t point, skip, times;
    const char* text;
    int32_t blocks_kept;  // what the call leaves allocated: its result
};

TEST_F(Faults, FailedReadGivesItsErrorTextAndReleasesEverything) {
    const ReadFault cases[] = {
        {"cannot open", kFaultOpenForReading, 0, 1, "Error: 2", 1},
        {"cannot take the size", kFaultFileSize, 0, 1, "Error: 3", 1},
        {"no memory for the bytes", kFaultAllocate, 0, 1, "Error: 4", 1},
        {"short read", kFaultShortRead, 0, 1, "Error: 5", 1},
        {"no memory for the text", kFaultAllocate, 1, 1, "Error: 6", 1},
        {"no memory even for the error text", kFaultAllocate, 0, -1, "Error: 4", 0},
        {"no fault", kFaultAllocate, 0, 0, "BBCC", 1},
    };
    for (const ReadFault& c : cases) {
        SCOPED_TRACE(c.what);
        const int32_t blocks = live_blocks();
        ASSERT_EQ(inject(c.point, c.skip, c.times), 0);
        char* text = lib.ReadSaveFile(1);
        ASSERT_EQ(inject(c.point, 0, 0), 0);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(open_files(), 0);
        EXPECT_EQ(live_blocks(), blocks + c.blocks_kept);
        if (c.blocks_kept != 0) {
            std::free(text);
        }
    }
    expect_previous_save_intact();
}

TEST_F(Faults, HeapHoldsNoMoreThanTheBytesAndTheirText) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1000}, std::size_t{1} << 20}) {
        SCOPED_TRACE(size);
        const std::string text = to_hex(random_bytes(size, 3));
        peak_heap(1);
        ASSERT_EQ(lib.WriteSaveFile(2, text.c_str()), 0);
        const auto bytes = static_cast<int64_t>(size == 0 ? 1 : size);
        EXPECT_EQ(peak_heap(0), bytes) << "write: the bytes";

        peak_heap(1);
        char* read = lib.ReadSaveFile(2);
        EXPECT_EQ(peak_heap(0), bytes + static_cast<int64_t>(2 * size + 1))
            << "read: the bytes and their text";
        EXPECT_TRUE(read != nullptr && read == text);
        std::free(read);
    }
}

}  // namespace
