// The operating-system services the core relies on, named after what it
// needs from them. One implementation per platform: platform_win32.cpp and
// platform_posix.cpp. Paths are terminated UTF-16 text of at most
// kPathCapacity units.
#ifndef WIDESAVE_PLATFORM_H
#define WIDESAVE_PLATFORM_H

#include <cstddef>
#include <cstdint>

namespace widesave {

#if defined(_WIN32)
constexpr char16_t kPathSeparator = u'\\';
// Scanners and indexers often hold a freshly written file for a moment, so
// a replace refused for sharing is tried again for this long in all.
constexpr unsigned kReplaceRetryBudgetMs = 250;
#else
constexpr char16_t kPathSeparator = u'/';
constexpr unsigned kReplaceRetryBudgetMs = 0;
#endif
constexpr unsigned kReplaceRetryStepMs = 25;

enum class DirectoryResult { created, name_exists, failed };

struct PathInfo {
    bool exists;
    bool is_directory;
    bool is_read_only;
};

// An open file; kNoFile when an open fails.
using File = std::intptr_t;
constexpr File kNoFile = -1;

// busy: refused for now because another process holds the target.
enum class ReplaceResult { replaced, busy, failed };

}  // namespace widesave

// The operations themselves. Test builds compile the real implementations
// into namespace widesave::os and put a fault-injecting layer of the same
// operations in front of them (platform_faults.cpp).
namespace widesave::platform {
#include "platform_ops.inc"
}  // namespace widesave::platform

#if defined(WIDESAVE_FAULT_INJECTION)
namespace widesave::os {
#include "platform_ops.inc"  // NOLINT(readability-duplicate-include): the same list, again
}  // namespace widesave::os
#define WIDESAVE_OS_NAMESPACE os
#else
#define WIDESAVE_OS_NAMESPACE platform
#endif

#endif
