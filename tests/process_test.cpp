// Several real processes at once, and a writer that dies before each of its
// system calls in turn: the host program (widesave_host) loads the library
// as a game does, natively and as a Windows program under Wine.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "faults/fault_control.h"
#include "host/payload.h"
#include "support/slot_fixture.h"

#ifndef WIDESAVE_FAULTS_FILE
#error "WIDESAVE_FAULTS_FILE names the test build of the library"
#endif

namespace {

#if defined(_WIN32)
const char* const kHostProgram = "\\widesave_host.exe";
#else
const char* const kHostProgram = "/widesave_host";
#endif

class Processes : public SlotTest {
protected:
    // The host program's command line, through the emulator the tests run
    // under when there is one (WIDESAVE_HOST_EMULATOR, words split on spaces).
    static std::vector<std::string> host(const char* library,
                                         const std::vector<std::string>& arguments) {
        std::vector<std::string> command;
        const char* emulator = std::getenv("WIDESAVE_HOST_EMULATOR");
        std::istringstream words(emulator != nullptr ? emulator : "");
        for (std::string word; words >> word;) {
            command.push_back(word);
        }
        if (!command.empty() && command[0].find('/') == std::string::npos) {
            command[0] = "/usr/bin/" + command[0];  // spawned without a search of PATH
        }
        command.insert(command.end(),
                       {testsys::program_directory() + kHostProgram, library, "slots"});
        command.insert(command.end(), arguments.begin(), arguments.end());
        return command;
    }

    std::string scratch(const std::string& name) const {
        return testsys::to_utf8(root) + static_cast<char>(testsys::kSep) + name;
    }

    static std::vector<std::string> lines(const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);) {
            out.push_back(line);
        }
        return out;
    }

    // The payload a slot holds now, checked whole.
    bool current_payload(int32_t slot, PayloadId& id) {
        std::string bytes;
        return from_hex(read_slot(slot), bytes) && check_payload(bytes, id);
    }
};

using Key = std::pair<unsigned, unsigned>;

TEST_F(Processes, WritersAndReadersOfOneSlotNeverSeeAMix) {
    constexpr int kWrites = 60;
    constexpr int kReads = 150;
    std::vector<std::vector<std::string>> commands;
    for (int writer = 1; writer <= 4; ++writer) {
        commands.push_back(host(WIDESAVE_LIBRARY_FILE,
                                {"writer", "1", std::to_string(writer), std::to_string(kWrites),
                                 scratch("writer" + std::to_string(writer))}));
    }
    // One writer of another slot, beside them.
    commands.push_back(host(WIDESAVE_LIBRARY_FILE,
                            {"writer", "2", "9", std::to_string(kWrites), scratch("writer9")}));
    for (int reader = 1; reader <= 2; ++reader) {
        commands.push_back(
            host(WIDESAVE_LIBRARY_FILE,
                 {"reader", "1", std::to_string(kReads), scratch("reader" + std::to_string(reader)),
                  scratch("writer1"), scratch("writer2"), scratch("writer3"), scratch("writer4")}));
    }
    const std::vector<int> statuses = testsys::run_processes(commands);
    ASSERT_EQ(statuses, std::vector<int>(commands.size(), 0))
        << "a reader saw a mix, or a host failed";

    std::map<Key, int> codes;
    for (const char* name : {"writer1", "writer2", "writer3", "writer4", "writer9"}) {
        int stored = 0;
        for (const std::string& line : lines(scratch(name))) {
            unsigned writer = 0;
            unsigned sequence = 0;
            int code = -1;
            std::istringstream(line.substr(2)) >> writer >> sequence >> code;
            codes[{writer, sequence}] = code;
            EXPECT_TRUE(code == WIDESAVE_OK || code == WIDESAVE_WRITE_CANNOT_REPLACE)
                << line << ": only a wait past its budget may fail";
            stored += code == WIDESAVE_OK ? 1 : 0;
        }
        EXPECT_GT(stored, 0) << name << " stored nothing";
    }
    ASSERT_EQ(codes.size(), 5u * kWrites);

    PayloadId last{};
    ASSERT_TRUE(current_payload(1, last));
    EXPECT_EQ(codes[Key(last.writer, last.sequence)], WIDESAVE_OK)
        << "the save is a payload that was stored";
    for (const char* name : {"reader1", "reader2"}) {
        const std::vector<std::string> read = lines(scratch(name));
        ASSERT_GE(read.size(), static_cast<size_t>(kReads));
        EXPECT_EQ(read.back(),
                  "R " + std::to_string(last.writer) + " " + std::to_string(last.sequence))
            << name << ": the read after every writer finished finds the save";
        for (const std::string& line : read) {
            if (line[0] == 'E') {
                EXPECT_TRUE(line == "E Error: 1" || line == "E Error: 2") << line;
                continue;
            }
            unsigned writer = 0;
            unsigned sequence = 0;
            std::istringstream(line.substr(2)) >> writer >> sequence;
            EXPECT_EQ(codes[Key(writer, sequence)], WIDESAVE_OK)
                << "read a payload whose write was not reported stored: " << line;
        }
    }

    ASSERT_TRUE(current_payload(2, last));
    for (int sequence = 0; sequence < kWrites; ++sequence) {
        EXPECT_EQ(codes[Key(9, static_cast<unsigned>(sequence))], WIDESAVE_OK)
            << "slot 2's writer was disturbed";
    }
    EXPECT_EQ(last.writer, 9u);
    EXPECT_EQ(last.sequence, static_cast<unsigned>(kWrites - 1));
    EXPECT_EQ(listing(), (std::vector<std::u16string>{u"Save1.rvdata", u"Save1.rxdata",
                                                      u"Save2.rvdata", u"Save2.rxdata"}))
        << "no temporary file is left";
}

// The writer dies before each of its system calls in turn, with no clean-up
// at all. Then a fresh load reads the old save or the new one, whole, and
// the next write succeeds and leaves no temporary file.
TEST_F(Processes, AWriterKilledBeforeAnyOfItsSystemCalls) {
    HostLibrary faults;
    ASSERT_EQ(load_library(WIDESAVE_FAULTS_FILE, faults), "");
    auto reset =
        reinterpret_cast<WidesaveFaultReset>(find_export(faults.module, "widesave_fault_reset"));
    auto calls =
        reinterpret_cast<WidesaveFaultCalls>(find_export(faults.module, "widesave_fault_calls"));
    ASSERT_TRUE(reset != nullptr && calls != nullptr);
    ASSERT_EQ(faults.SetSaveSubdirectory("slots"), WIDESAVE_SUBDIR_SET);

    const std::string older = to_hex("older");
    const std::string old_save = to_hex(make_payload({1, 1}));
    const std::string new_save = to_hex(make_payload({2, 2}));
    for (const int32_t slot : {1, 2}) {  // a later save, and a first one
        const bool first = slot == 2;
        auto set_up = [&] {
            for (const char16_t letter : {u'v', u'x'}) {
                testsys::remove_file(file(slot, letter));
            }
            if (!first) {
                ASSERT_EQ(lib.WriteSaveFile(slot, older.c_str()), WIDESAVE_OK);
                ASSERT_EQ(lib.WriteSaveFile(slot, old_save.c_str()), WIDESAVE_OK);
            }
        };
        set_up();
        const std::vector<std::u16string> before = listing();
        reset();
        ASSERT_EQ(faults.WriteSaveFile(slot, new_save.c_str()), WIDESAVE_OK);
        const int32_t count = calls(nullptr, 0);
        ASSERT_GT(count, 5);
        set_up();
        for (int32_t k = 0; k <= count; ++k) {
            SCOPED_TRACE(testing::Message() << "slot " << slot << ", killed before call " << k);
            const int status = testsys::run_processes(
                {host(WIDESAVE_FAULTS_FILE,
                      {"crash-write", std::to_string(slot), std::to_string(k), new_save})})[0];
            EXPECT_EQ(status, k < count ? WIDESAVE_CRASH_STATUS : 100);
            const std::string got = read_slot(slot);
            if (first) {
                EXPECT_TRUE(got == "Error: 1" || got == new_save) << got;
            } else {
                EXPECT_TRUE(got == old_save || got == new_save) << got;
            }
            ASSERT_EQ(lib.WriteSaveFile(slot, new_save.c_str()), WIDESAVE_OK) << "the next write";
            EXPECT_EQ(read_slot(slot), new_save);
            const std::vector<std::u16string> after = listing();
            EXPECT_TRUE(std::none_of(after.begin(), after.end(), [](const std::u16string& name) {
                return name.find(u"temp") != std::u16string::npos;
            })) << "a temporary file is left";
            set_up();
            ASSERT_EQ(listing(), before);
        }
    }
    unload_library(faults);
}

}  // namespace
