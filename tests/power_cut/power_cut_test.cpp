// A power cut at every step of a write, modelled: the core runs over a
// simulated disk, and after each cut the disk comes back with every
// combination of the unflushed data and directory changes lost or kept.
// The save must then be the old one or the new one, whole, and the new one
// whenever the write had returned 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "simulated_disk.h"
#include "widesave.h"

namespace {

using Files = std::map<std::string, std::string>;

// What a read of slot 1 finds: the 'v' file before the 'x' file.
std::string current_save(const Files& files) {
    for (const char* name : {"Save1.rvdata", "Save1.rxdata"}) {
        const auto found = files.find(name);
        if (found != files.end()) {
            return found->second;
        }
    }
    return "(none)";
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        text += digits[static_cast<unsigned char>(c) >> 4];
        text += digits[static_cast<unsigned char>(c) & 0xF];
    }
    return text;
}

struct Scenario {
    const char* what;
    Files files;
};

TEST(PowerCut, AtEveryStepOfAWriteTheSaveIsOldOrNewAndWhole) {
    ASSERT_EQ(SetSaveSubdirectory("slots"), WIDESAVE_SUBDIR_SET);
    const std::string fresh = "the new save, longer than the old one";
    const Scenario scenarios[] = {
        {"a first save", {}},
        {"a second save", {{"Save1.rxdata", "old"}}},
        {"a later save", {{"Save1.rxdata", "older"}, {"Save1.rvdata", "old"}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.what);
        const std::string old_save = current_save(scenario.files);
        simdisk::format(scenario.files);
        ASSERT_EQ(WriteSaveFile(1, hex(fresh).c_str()), WIDESAVE_OK);
        const int steps = simdisk::steps_taken();
        int combinations = 0;
        for (int cut = 0; cut <= steps; ++cut) {
            SCOPED_TRACE(testing::Message() << "power cut before step " << cut);
            simdisk::format(scenario.files);
            simdisk::cut_power_at(cut);
            const int32_t code = WriteSaveFile(1, hex(fresh).c_str());
            ASSERT_EQ(simdisk::power_was_cut(), cut < steps);
            const simdisk::Disk at_cut =
                simdisk::power_was_cut() ? simdisk::disk_at_cut() : simdisk::disk();
            const int items = simdisk::unflushed_items(at_cut);
            ASSERT_LE(items, 16);
            for (std::uint64_t keep = 0; keep < (std::uint64_t{1} << items); ++keep) {
                SCOPED_TRACE(testing::Message() << "unflushed work kept: " << keep);
                const Files recovered = simdisk::recover(at_cut, keep);
                const std::string save = current_save(recovered);
                EXPECT_TRUE(save == old_save || save == fresh) << save;
                if (code == 0) {
                    EXPECT_EQ(save, fresh) << "0 was returned";
                }
                // And the disk as it came back takes the next write.
                simdisk::format(recovered);
                ASSERT_EQ(WriteSaveFile(1, "AB"), WIDESAVE_OK);
                char* text = ReadSaveFile(1);
                EXPECT_STREQ(text, "AB");
                std::free(text);
                for (const auto& [name, inode] : simdisk::disk().entries) {
                    EXPECT_EQ(name.find("temp"), std::string::npos) << name << " is left";
                }
                ++combinations;
            }
        }
        EXPECT_GT(combinations, steps) << "some cuts leave unflushed work to lose";
    }
}

}  // namespace
