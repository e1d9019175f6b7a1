// What the library costs on top of the file system: the hex kernels, and
// each export against the same file-system work without the hex (its
// floor), at 4 KiB, 1 MiB and 16 MiB.
//   widesave_bench [Google Benchmark flags]   runs every case
//   widesave_bench --write-data=DIR           writes the benchmark's data
//                                             files, for the CPython run
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#if defined(WIDESAVE_MINI_BENCHMARK)
#include "mini_benchmark.h"
#else
#include <benchmark/benchmark.h>
#endif

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "faults/fault_control.h"
#include "hex_codec.h"
#include "platform.h"
#include "support/host_library.h"
#include "widesave.h"

namespace {

using namespace widesave;

constexpr std::int64_t kSizes[] = {4 << 10, 1 << 20, 16 << 20};
constexpr int kSlot = 1;

const std::string& bytes_of_size(std::size_t size) {
    static std::map<std::size_t, std::string> cache;
    std::string& data = cache[size];
    if (data.size() != size) {
        std::mt19937 generator(static_cast<unsigned>(size));
        data.resize(size);
        for (char& c : data) {
            c = static_cast<char>(generator());
        }
    }
    return data;
}

const std::string& hex_of_size(std::size_t size) {
    static std::map<std::size_t, std::string> cache;
    std::string& text = cache[size];
    if (text.empty() && size != 0) {
        const std::string& data = bytes_of_size(size);
        text.resize(2 * size);
        kHexPortable.encode(reinterpret_cast<const unsigned char*>(data.data()), size, text.data());
    }
    return text;
}

const unsigned char* raw(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// The save directory as the library names it, and the floor's own files.
std::string save_directory;
std::u16string floor_temporary;
std::u16string floor_target;

void BM_Decode(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string& text = hex_of_size(size);
    std::vector<unsigned char> out(size);
    for (auto _ : state) {
        const bool valid = hex2bytes(text.data(), size, out.data());
        benchmark::DoNotOptimize(valid);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(2 * size));
}

void BM_Encode(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string& data = bytes_of_size(size);
    std::vector<char> out(2 * size);
    for (auto _ : state) {
        bytes2hex(raw(data), size, out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(2 * size));
}

void BM_WriteSaveFile(benchmark::State& state) {
    const std::string& text = hex_of_size(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        if (WriteSaveFile(kSlot, text.c_str()) != 0) {
            state.SkipWithError("WriteSaveFile failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The same temporary file, write, flush and replace, from bytes at hand.
void BM_WriteFloor(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string& data = bytes_of_size(size);
    for (auto _ : state) {
        Temporary temporary{kNoFile, kNoFile};
        if (platform::create_temporary(floor_temporary.c_str(), temporary) !=
            TemporaryResult::created) {
            state.SkipWithError("floor temporary file not made");
            break;
        }
        std::size_t done = 0;
        const bool ok =
            platform::write_bytes(temporary.file, raw(data), size, done) &&
            platform::flush_to_disk(temporary.file) &&
            platform::replace_with_temporary(temporary, floor_temporary.c_str(),
                                             floor_target.c_str()) == ReplaceResult::replaced;
        platform::end_temporary(temporary, floor_temporary.c_str(), !ok);
        if (!ok) {
            state.SkipWithError("floor write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(2 * size));
}

void BM_ReadSaveFile(benchmark::State& state) {
    const std::string& text = hex_of_size(static_cast<std::size_t>(state.range(0)));
    if (WriteSaveFile(kSlot, text.c_str()) != 0) {
        state.SkipWithError("WriteSaveFile failed");
    }
    for (auto _ : state) {
        char* read = ReadSaveFile(kSlot);
        benchmark::DoNotOptimize(read);
        std::free(read);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// Opening and reading the file whole into a fresh block, and filling a
// fresh block the size of the hex text: what a read must do in any case.
void BM_ReadFloor(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string& data = bytes_of_size(size);
    Temporary temporary{kNoFile, kNoFile};
    std::size_t done = 0;
    const bool made =
        platform::create_temporary(floor_temporary.c_str(), temporary) == TemporaryResult::created;
    const bool ok = made && platform::write_bytes(temporary.file, raw(data), size, done) &&
                    platform::replace_with_temporary(temporary, floor_temporary.c_str(),
                                                     floor_target.c_str()) != ReplaceResult::failed;
    if (made) {
        platform::end_temporary(temporary, floor_temporary.c_str(), !ok);
    }
    if (!ok) {
        state.SkipWithError("floor file not written");
    }
    for (auto _ : state) {
        const File in = platform::open_for_reading(floor_target.c_str());
        std::uint64_t length = 0;
        platform::read_file_size(in, length);
        auto* bytes = static_cast<unsigned char*>(std::malloc(length));
        platform::read_bytes(in, bytes, length, done);
        platform::close_file(in);
        auto* text = static_cast<char*>(std::malloc(2 * length + 1));
        std::memset(text, '0', 2 * length);
        text[2 * length] = 0;
        // The blocks and what was put in them count as used, so the
        // compiler keeps the allocations, the read and the fill.
        benchmark::DoNotOptimize(bytes);
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
        std::free(bytes);
        std::free(text);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(2 * size));
}

std::u16string widen(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

bool set_variable(const char* name, const std::string& value) {
#if defined(_WIN32)
    return SetEnvironmentVariableA(name, value.c_str()) != 0;
#else
    return setenv(name, value.c_str(), 1) == 0;
#endif
}

// LOCALAPPDATA is the benchmark folder (WIDESAVE_BENCH_DIR, else the
// current one); the saves go to its subdirectory "bench".
bool prepare_directory() {
    const char* chosen = std::getenv("WIDESAVE_BENCH_DIR");
    std::string base = chosen != nullptr ? chosen : ".";
    if (!set_variable("LOCALAPPDATA", base) || SetSaveSubdirectory("bench") != 0 ||
        MakeSaveDirectory() != 0) {
        return false;
    }
#if defined(_WIN32)
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    save_directory = base + separator + "bench";
    floor_temporary = widen(save_directory + separator + "floor.rvtemp");
    floor_target = widen(save_directory + separator + "floor.rvdata");
    return true;
}

bool write_one(const std::string& directory, std::int64_t size) {
    const std::string path = directory + "/bytes-" + std::to_string(size);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::string& data = bytes_of_size(static_cast<std::size_t>(size));
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && written;
}

bool write_data(const std::string& directory) {
    return std::all_of(std::begin(kSizes), std::end(kSizes),
                       [&](std::int64_t size) { return write_one(directory, size); });
}

}  // namespace

// The most heap each export holds at each size, measured through the test
// build of the library (widesave_faults), which counts every block.
int print_peak_heap(const char* faults_library) {
    HostLibrary faults;
    const std::string error = load_library(faults_library, faults);
    auto peak = reinterpret_cast<WidesaveFaultPeakHeap>(
        find_export(faults.module, "widesave_fault_peak_heap"));
    auto release =
        reinterpret_cast<WidesaveFaultFree>(find_export(faults.module, "widesave_fault_free"));
    if (!error.empty() || peak == nullptr || release == nullptr ||
        faults.SetSaveSubdirectory("bench") != 0) {
        (void)std::fprintf(stderr, "cannot load %s\n", faults_library);
        return 1;
    }
    for (const std::int64_t size : kSizes) {
        const std::string& text = hex_of_size(static_cast<std::size_t>(size));
        peak(1);
        const bool written = faults.WriteSaveFile(kSlot, text.c_str()) == 0;
        const long long write_peak = static_cast<long long>(peak(0));
        peak(1);
        char* read = faults.ReadSaveFile(kSlot);
        const long long read_peak = static_cast<long long>(peak(0));
        const bool same = read != nullptr && text == read;
        release(read);
        if (!written || !same) {
            return 1;
        }
        (void)std::printf("peak WriteSaveFile %lld %lld\npeak ReadSaveFile %lld %lld\n",
                          static_cast<long long>(size), write_peak, static_cast<long long>(size),
                          read_peak);
    }
    unload_library(faults);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strncmp(argv[1], "--write-data=", 13) == 0) {
        return write_data(argv[1] + 13) ? 0 : 1;
    }
    if (argc == 2 && std::strncmp(argv[1], "--peak-heap=", 12) == 0) {
        return prepare_directory() ? print_peak_heap(argv[1] + 12) : 1;
    }
    if (!prepare_directory()) {
        (void)std::fprintf(stderr, "cannot make the benchmark's save directory\n");
        return 1;
    }
    using Function = void (*)(benchmark::State&);
    auto add = [](const char* name, Function function, std::int64_t size) {
        benchmark::RegisterBenchmark(name, function)
            ->Arg(size)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime()
            ->Repetitions(3);
    };
    for (const std::int64_t size : kSizes) {
        add("Decode", BM_Decode, size);
        add("Encode", BM_Encode, size);
    }
    // Each export and its floor in ABBA order, so that neither always runs
    // second, on a disk and caches the other has just warmed.
    const std::pair<const char*, Function> pairs[][2] = {
        {{"WriteSaveFile", BM_WriteSaveFile}, {"WriteFloor", BM_WriteFloor}},
        {{"ReadSaveFile", BM_ReadSaveFile}, {"ReadFloor", BM_ReadFloor}},
    };
    for (const std::int64_t size : kSizes) {
        for (const auto& pair : pairs) {
            for (const int side : {0, 1, 1, 0}) {
                add(pair[side].first, pair[side].second, size);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
