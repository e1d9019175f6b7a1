// The operating-system services the core relies on, named after what it
// needs from them. One implementation per platform: platform_win32.cpp and
// platform_posix.cpp. Paths are terminated UTF-16 text of at most
// kPathCapacity units. Every system call they make passes through
// call_system() (system_calls.h), where tests inject faults.
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
// How long a writer waits for another writer of the same directory (POSIX)
// or of the same slot (Windows) to finish before it gives up.
constexpr unsigned kWriterWaitBudgetMs = 5000;

enum class DirectoryResult { created, name_exists, failed };

enum class PathKind {
    absent,     // nothing is there
    file,       // a file, or anything else that is not a directory
    directory,  // a directory
    unusable,   // something is there, but it cannot be queried
};

struct PathInfo {
    PathKind kind;
    bool is_read_only;
};

// An open file; kNoFile when an open fails.
using File = std::intptr_t;
constexpr File kNoFile = -1;

// A new file that only this writer may write, to be put in a save's place.
// On POSIX the writer also holds its save directory locked (directory).
struct Temporary {
    File file;
    File directory;
};

// busy: another writer or program holds what is needed; try again shortly.
enum class TemporaryResult { created, busy, failed };
// unflushed: the replace took place but could not be made durable.
enum class ReplaceResult { replaced, busy, failed, unflushed };

}  // namespace widesave

namespace widesave::platform {

// Reads an environment variable into buffer (capacity units, terminator
// included). Returns the value's length when it fits; a number above
// capacity when it does not fit or cannot be held as UTF-16 text; 0 when
// it is unset or empty.
std::size_t read_environment(const char16_t* name, char16_t* buffer, std::size_t capacity);

// The platform's own per-user data folder, for when neither LOCALAPPDATA
// nor APPDATA has a value; same results as read_environment.
std::size_t read_default_base_folder(char16_t* buffer, std::size_t capacity);

// Strict UTF-8 to UTF-16, terminator included. False on an invalid sequence
// or when the result does not fit; out is then unspecified.
bool utf8_to_utf16(const char* text, char16_t* out, std::size_t capacity);

// Creates the last level of path durably. name_exists only when a directory
// in which files can be made stands there.
DirectoryResult create_directory(const char16_t* path);

// What, if anything, stands at path.
PathInfo query_path(const char16_t* path);

// Opens an existing regular file for reading, never blocking on anything
// else; others may read it, and replace it, meanwhile.
File open_for_reading(const char16_t* path);
bool read_file_size(File file, std::uint64_t& size);
// Reads count bytes into buffer; done is what was actually read.
bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done);
void close_file(File file);

// Makes a fresh, empty file at path for this writer alone, whatever stood
// there before (a stale file of any mode or owner, a link, a pipe). Links
// there are removed, never followed.
TemporaryResult create_temporary(const char16_t* path, Temporary& temporary);
bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done);
// Forces what was written onto the disk.
bool flush_to_disk(File file);
// Puts the temporary file in target's place in one step, durably.
ReplaceResult replace_with_temporary(Temporary& temporary, const char16_t* path,
                                     const char16_t* target);
// Closes the temporary file and releases the directory; with discard the
// file is removed first (it was not put in place).
void end_temporary(Temporary& temporary, const char16_t* path, bool discard);

void pause_ms(unsigned milliseconds);

// The runtime library's heap: blocks handed to the host come from here.
void* allocate(std::size_t size);
void release(void* block);

}  // namespace widesave::platform

#endif
