// A small host program for the tests that need several processes: it loads
// the library as a game does and writes or reads one slot.
//   widesave_host LIBRARY SUBDIR writer SLOT WRITER COUNT OUT
//       writes COUNT payloads; a line "W writer sequence code" each, to OUT,
//       then creates OUT.done
//   widesave_host LIBRARY SUBDIR reader SLOT COUNT OUT WRITER_OUT...
//       reads at least COUNT times and until every WRITER_OUT.done exists,
//       then once more; "R writer sequence" for a payload, "E text" for an
//       error text, "X" for anything else (and exits 1); exits 3 when the
//       writers have not finished within a minute
//   widesave_host LIBRARY SUBDIR crash-write SLOT STOP HEX
//   widesave_host LIBRARY SUBDIR freeze-write SLOT STOP HEX
//       with the test build: the process ends (or stops itself) before its
//       system call number STOP from here, then writes HEX; if the write
//       finishes first, the exit status is 100 plus its code
//   widesave_host LIBRARY SUBDIR write SLOT HEX   (status 100 plus the code)
//   widesave_host LIBRARY SUBDIR read SLOT        (the text on stdout)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "faults/fault_control.h"
#include "payload.h"
#include "support/host_library.h"

namespace {

int number(const char* text) { return static_cast<int>(std::strtol(text, nullptr, 10)); }

int usage() {
    (void)std::fputs("usage: widesave_host LIBRARY SUBDIR COMMAND ARGS...\n", stderr);
    return 2;
}

int writer(HostLibrary& lib, int slot, int id, int count, const char* out) {
    FILE* log = std::fopen(out, "w");
    if (log == nullptr) {
        return 2;
    }
    for (int sequence = 0; sequence < count; ++sequence) {
        const PayloadId payload{static_cast<std::uint32_t>(id),
                                static_cast<std::uint32_t>(sequence)};
        const int code = lib.WriteSaveFile(slot, to_hex(make_payload(payload)).c_str());
        (void)std::fprintf(log, "W %d %d %d\n", id, sequence, code);
    }
    if (std::fclose(log) != 0) {
        return 2;
    }
    FILE* done = std::fopen((std::string(out) + ".done").c_str(), "w");
    return done != nullptr && std::fclose(done) == 0 ? 0 : 2;
}

bool writers_done(const std::vector<std::string>& writer_logs) {
    return std::all_of(writer_logs.begin(), writer_logs.end(), [](const std::string& path) {
        FILE* done = std::fopen((path + ".done").c_str(), "r");
        return done != nullptr && std::fclose(done) == 0;
    });
}

// Reading on until the writers have finished keeps the reads alongside the
// writes however the processes are scheduled, and the last read, made after
// them, must find a stored payload.
int reader(HostLibrary& lib, int slot, int count, const char* out,
           const std::vector<std::string>& writer_logs) {
    FILE* log = std::fopen(out, "w");
    if (log == nullptr) {
        return 2;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int status = 0;
    for (int i = 0, last = 0; last == 0; ++i) {
        if (i >= count && writers_done(writer_logs)) {
            last = 1;
        } else if (std::chrono::steady_clock::now() > deadline) {
            status = 3;
            break;
        }
        char* text = lib.ReadSaveFile(slot);
        const std::string got = text != nullptr ? text : "(null)";
        std::free(text);
        std::string bytes;
        PayloadId id{};
        if (got.rfind("Error: ", 0) == 0) {
            (void)std::fprintf(log, "E %s\n", got.c_str());
        } else if (from_hex(got, bytes) && check_payload(bytes, id)) {
            (void)std::fprintf(log, "R %u %u\n", id.writer, id.sequence);
        } else {
            (void)std::fprintf(log, "X %zu\n", got.size());
            status = 1;
        }
    }
    return std::fclose(log) == 0 ? status : 2;
}

int stopped_write(HostLibrary& lib, int slot, int stop, int how, const char* hex) {
    auto stop_at =
        reinterpret_cast<WidesaveFaultStop>(find_export(lib.module, "widesave_fault_stop"));
    if (stop_at == nullptr) {
        return 2;
    }
    stop_at(stop, how);
    return 100 + lib.WriteSaveFile(slot, hex);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        return usage();
    }
    HostLibrary lib;
    const std::string error = load_library(argv[1], lib);
    if (!error.empty()) {
        (void)std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (lib.SetSaveSubdirectory(argv[2]) != 0) {
        return 2;
    }
    const std::string command = argv[3];
    const int slot = number(argv[4]);
    if (command == "writer" && argc == 8) {
        return writer(lib, slot, number(argv[5]), number(argv[6]), argv[7]);
    }
    if (command == "reader" && argc >= 7) {
        return reader(lib, slot, number(argv[5]), argv[6],
                      std::vector<std::string>(argv + 7, argv + argc));
    }
    if ((command == "crash-write" || command == "freeze-write") && argc == 7) {
        return stopped_write(lib, slot, number(argv[5]),
                             command == "crash-write" ? kStopExit : kStopFreeze, argv[6]);
    }
    if (command == "write" && argc == 6) {
        return 100 + lib.WriteSaveFile(slot, argv[5]);
    }
    if (command == "read" && argc == 5) {
        char* text = lib.ReadSaveFile(slot);
        (void)std::puts(text);
        std::free(text);
        return 0;
    }
    return usage();
}
