// What the tests need from the operating system, apart from the library:
// environment, scratch folders and files, all named in UTF-16.
#ifndef WIDESAVE_TESTS_TEST_SYSTEM_H
#define WIDESAVE_TESTS_TEST_SYSTEM_H

#include <string>

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

// Test-side UTF-16 to UTF-8, independent of the library's own conversion.
std::string to_utf8(const std::u16string& text);

}  // namespace testsys

#endif
