// What the tests need from the operating system, apart from the library:
// environment, scratch folders and files, all named in UTF-16.
#ifndef WIDESAVE_TESTS_TEST_SYSTEM_H
#define WIDESAVE_TESTS_TEST_SYSTEM_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsys {

#if defined(_WIN32)
constexpr char16_t kSep = u'\\';
#else
constexpr char16_t kSep = u'/';
#endif

// A new, empty directory of this test's own under the system's temp folder.
std::u16string make_temp_root();
void remove_tree(const std::u16string& path);

void set_env(const char* name, const std::u16string& value);
void unset_env(const char* name);

bool is_directory(const std::u16string& path);
bool is_file(const std::u16string& path);
bool make_directory(const std::u16string& path);
bool write_file(const std::u16string& path, const std::string& bytes);
std::optional<std::string> read_file(const std::u16string& path);
// Names in a directory, sorted; "." and ".." left out.
std::vector<std::u16string> list_directory(const std::u16string& path);
bool remove_file(const std::u16string& path);
// Windows' read-only attribute; on POSIX the owner's write bit.
bool set_read_only(const std::u16string& path, bool read_only);
// A file of `size` bytes that takes no room on disk.
bool make_sparse_file(const std::u16string& path, std::uint64_t size);

#if defined(_WIN32)
// Opens path the way another program might hold a save (share: the
// FILE_SHARE_* bits it grants others). Returns the handle, or nullptr.
void* hold_file(const std::u16string& path, unsigned long share);
void release_file(void* handle);
#endif

// Starts the programs (each an argument list, the program first) at once,
// with this process's environment, and waits for all of them. Returns their
// exit statuses; -1 for one that could not be started or ended by a signal.
std::vector<int> run_processes(const std::vector<std::vector<std::string>>& commands);

// This test program's own path, and the folder it is in.
std::string program_directory();

// Test-side UTF-16 to UTF-8, independent of the library's own conversion.
std::string to_utf8(const std::u16string& text);

}  // namespace testsys

#endif
