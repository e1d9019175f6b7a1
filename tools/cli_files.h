// What the tool needs from the operating system beyond the library: files
// and folders named in UTF-8 (UTF-16 underneath on Windows).
#ifndef WIDESAVE_TOOLS_CLI_FILES_H
#define WIDESAVE_TOOLS_CLI_FILES_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

FILE* open_file(const std::string& path, bool for_writing);
// The names in a folder ("." and ".." left out); false when it cannot be
// listed, with missing set when it does not exist.
bool list_folder(const std::string& path, std::vector<std::string>& names, bool& missing);
// Makes a folder; true when it exists as one afterwards.
bool make_folder(const std::string& path);
struct FileFacts {
    std::uint64_t size;
    std::int64_t modified;  // seconds since 1970, UTC
};
bool file_facts(const std::string& path, FileFacts& facts, std::string& error);
// Removes a file; false with the reason when it was there and stays.
bool remove_file(const std::string& path, bool& was_there, std::string& error);
bool stdin_is_terminal();
// The library's UTF-16 paths, as UTF-8.
std::string from_utf16(const char16_t* text);
char folder_separator();

}  // namespace cli

#endif
