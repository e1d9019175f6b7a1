// Hosts call from threads with small stacks: a write and a read of a large
// save run in a thread of 64 KiB and use at most 16 KiB of it.
#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/slot_fixture.h"

namespace {

constexpr std::size_t kThreadStack = std::size_t{64} * 1024;
constexpr std::size_t kPainted = std::size_t{48} * 1024;
constexpr std::size_t kBound = std::size_t{16} * 1024;
constexpr unsigned char kPaint = 0xA5;

struct CallsInThread {
    HostLibrary* lib;
    std::string text;
    int32_t written = -1;
    std::string read;
    std::size_t depth = 0;
};

// Fills the stack below the caller with a pattern; returns its lowest address.
__attribute__((noinline)) std::uintptr_t paint() {
    volatile unsigned char area[kPainted];
    for (std::size_t i = 0; i < kPainted; ++i) {
        area[i] = kPaint;
    }
    // Only the address is kept, to look at that stack again later.
    return reinterpret_cast<std::uintptr_t>(
        &area[0]);  // NOLINT(clang-diagnostic-return-stack-address)
}

// How far below high the pattern was overwritten since.
__attribute__((noinline)) std::size_t depth_used(std::uintptr_t lowest, std::size_t painted) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the address paint() left
    const auto* low = reinterpret_cast<const volatile unsigned char*>(lowest);
    std::size_t untouched = 0;
    while (untouched < painted && low[untouched] == kPaint) {
        ++untouched;
    }
    return painted - untouched;
}

__attribute__((noinline)) void run_calls(CallsInThread& run) {
    const std::uintptr_t low = paint();
    run.written = run.lib->WriteSaveFile(1, run.text.c_str());
    char* text = run.lib->ReadSaveFile(1);
    run.read = text != nullptr ? text : "(null)";
    std::free(text);
    run.depth = depth_used(low, kPainted);
}

#if defined(_WIN32)
DWORD WINAPI thread_body(void* argument) {
    run_calls(*static_cast<CallsInThread*>(argument));
    return 0;
}
bool run_in_small_thread(CallsInThread& run) {
    HANDLE thread = CreateThread(nullptr, kThreadStack, thread_body, &run,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        return false;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return true;
}
#else
void* thread_body(void* argument) {
    run_calls(*static_cast<CallsInThread*>(argument));
    return nullptr;
}
// 64 KiB, or the least the system allows where that is more (aarch64 with
// 64 KiB pages asks for 128 KiB).
std::size_t smallest_stack() {
    const long least = sysconf(_SC_THREAD_STACK_MIN);
    return least > static_cast<long>(kThreadStack) ? static_cast<std::size_t>(least) : kThreadStack;
}

bool run_in_small_thread(CallsInThread& run) {
    pthread_attr_t attributes;
    pthread_t thread;
    const bool started = pthread_attr_init(&attributes) == 0 &&
                         pthread_attr_setstacksize(&attributes, smallest_stack()) == 0 &&
                         pthread_create(&thread, &attributes, thread_body, &run) == 0;
    pthread_attr_destroy(&attributes);
    return started && pthread_join(thread, nullptr) == 0;
}
#endif

using SmallStack = SlotTest;

TEST_F(SmallStack, WriteAndReadFitSixteenKibibytes) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's own stack use is not the library's";
#endif
    CallsInThread run{&lib, to_hex(random_bytes(std::size_t{300} * 1024, 64)), -1, {}, 0};
    ASSERT_TRUE(run_in_small_thread(run));
    EXPECT_EQ(run.written, 0);
    EXPECT_TRUE(run.read == run.text);
    EXPECT_GT(run.depth, 0u) << "the calls ran in the painted stack";
    EXPECT_LE(run.depth, kBound);
    std::printf("stack used by a write and a read: %zu bytes\n", run.depth);
}

}  // namespace
