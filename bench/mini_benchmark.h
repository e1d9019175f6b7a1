// The part of Google Benchmark's interface the benchmarks use, for targets
// that have no build of it (the 32-bit Windows one, run under Wine). It
// times each case for at least min_time seconds, `repetitions` times, and
// prints each repetition as Google Benchmark's JSON does, so that one script
// reads both.
#ifndef WIDESAVE_BENCH_MINI_BENCHMARK_H
#define WIDESAVE_BENCH_MINI_BENCHMARK_H

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace benchmark {

enum TimeUnit { kMicrosecond };

template <typename T>
inline void DoNotOptimize(T const& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

class State {
public:
    State(std::int64_t range, std::int64_t iterations) : range_(range), iterations_(iterations) {}

    struct Iterator {
        State* state;
        std::int64_t left;
        bool operator!=(const Iterator&) const {
            if (left > 0) {
                return true;
            }
            state->stop();
            return false;
        }
        void operator++() { --left; }
        int operator*() const { return 0; }
    };
    Iterator begin() {
        start_ = std::chrono::steady_clock::now();
        return Iterator{this, error_.empty() ? iterations_ : 0};
    }
    Iterator end() { return Iterator{this, 0}; }

    std::int64_t range(int) const { return range_; }
    std::int64_t iterations() const { return iterations_; }
    void SetBytesProcessed(std::int64_t bytes) { bytes_ = bytes; }
    void SkipWithError(const char* message) { error_ = message; }

    double seconds() const { return seconds_; }
    std::int64_t bytes() const { return bytes_; }
    const std::string& error() const { return error_; }

private:
    void stop() {
        seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    std::int64_t range_;
    std::int64_t iterations_;
    std::int64_t bytes_ = 0;
    double seconds_ = 0;
    std::string error_;
    std::chrono::steady_clock::time_point start_;
};

struct Benchmark {
    std::string name;
    void (*function)(State&);
    std::vector<std::int64_t> args;
    int repetitions = 1;
    Benchmark* Arg(std::int64_t value) {
        args.push_back(value);
        return this;
    }
    Benchmark* Repetitions(int count) {
        repetitions = count;
        return this;
    }
    Benchmark* Unit(TimeUnit) { return this; }
    Benchmark* UseRealTime() { return this; }
    Benchmark* ReportAggregatesOnly(bool) { return this; }
};

inline std::vector<Benchmark>& registry() {
    static std::vector<Benchmark> benchmarks;
    return benchmarks;
}

inline Benchmark* RegisterBenchmark(const char* name, void (*function)(State&)) {
    registry().reserve(64);  // pointers handed out stay valid
    registry().push_back(Benchmark{name, function, {}, 1});
    return &registry().back();
}

// Which cases run: --benchmark_filter=REGEX on "name/arg/", as Google
// Benchmark reads it.
inline std::string& filter() {
    static std::string pattern = ".";
    return pattern;
}

inline void Initialize(int* argc, char** argv) {
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_filter=", 19) == 0) {
            filter() = argv[i] + 19;
        }
    }
}
inline void Shutdown() {}

inline std::size_t RunSpecifiedBenchmarks() {
    constexpr double kMinSeconds = 0.5;
    std::printf("{\n  \"benchmarks\": [\n");
    bool first = true;
    for (const Benchmark& benchmark : registry()) {
        for (const std::int64_t arg : benchmark.args) {
            if (!std::regex_search(benchmark.name + "/" + std::to_string(arg) + "/",
                                   std::regex(filter()))) {
                continue;
            }
            std::int64_t iterations = 1;
            std::vector<double> times;
            std::int64_t bytes = 0;
            std::string error;
            for (int r = 0; r < benchmark.repetitions && error.empty(); ++r) {
                for (;;) {
                    State state(arg, iterations);
                    benchmark.function(state);
                    error = state.error();
                    if (!error.empty() || state.seconds() >= kMinSeconds || r > 0) {
                        times.push_back(state.seconds() / static_cast<double>(iterations));
                        bytes = state.bytes() / iterations;
                        break;
                    }
                    const double grow = kMinSeconds * 1.4 / std::max(state.seconds(), 1e-9);
                    iterations = std::max<std::int64_t>(
                        iterations + 1,
                        static_cast<std::int64_t>(iterations * std::min(grow, 100.0)));
                }
            }
            // One row a repetition, as Google Benchmark's JSON has them.
            if (times.empty()) {
                times.push_back(0);
            }
            for (const double seconds : times) {
                std::printf(
                    "%s    {\"name\": \"%s/%lld\", \"run_type\": \"iteration\", "
                    "\"real_time\": %.6f, \"time_unit\": \"us\", "
                    "\"bytes_per_second\": %.1f%s%s%s}",
                    first ? "" : ",\n", benchmark.name.c_str(), static_cast<long long>(arg),
                    seconds * 1e6, seconds > 0 ? static_cast<double>(bytes) / seconds : 0.0,
                    error.empty() ? "" : ", \"error_message\": \"", error.c_str(),
                    error.empty() ? "" : "\"");
                first = false;
            }
            first = false;
        }
    }
    std::printf("\n  ]\n}\n");
    return registry().size();
}

}  // namespace benchmark

#endif
