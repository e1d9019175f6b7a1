#include "cli_files.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "module_state.h"
#include "utf8.h"
#endif

namespace cli {

#if defined(_WIN32)

namespace {

std::wstring wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

std::string narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::string last_error() {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   GetLastError(), 0, text, 512, nullptr);
    std::string message = narrow(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

}  // namespace

FILE* open_file(const std::string& path, bool for_writing) {
    return _wfopen(wide(path).c_str(), for_writing ? L"wb" : L"rb");
}

bool list_folder(const std::string& path, std::vector<std::string>& names, bool& missing) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide(path) + L"\\*").c_str(), &found);
    missing = false;
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        missing = error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND;
        return false;
    }
    do {
        const std::string name = narrow(found.cFileName);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

bool make_folder(const std::string& path) {
    if (CreateDirectoryW(wide(path).c_str(), nullptr)) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool file_facts(const std::string& path, FileFacts& facts, std::string& error) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
        error = last_error();
        return false;
    }
    facts.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    const std::uint64_t ticks = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                data.ftLastWriteTime.dwLowDateTime;
    facts.modified = static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;
    return true;
}

bool remove_file(const std::string& path, bool& was_there, std::string& error) {
    SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(wide(path).c_str())) {
        was_there = true;
        return true;
    }
    const DWORD code = GetLastError();
    was_there = code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
    error = last_error();
    return !was_there;
}

bool stdin_is_terminal() { return _isatty(_fileno(stdin)) != 0; }

std::string from_utf16(const char16_t* text) {
    return narrow(reinterpret_cast<const wchar_t*>(text));
}

char folder_separator() { return '\\'; }

#else

FILE* open_file(const std::string& path, bool for_writing) {
    return std::fopen(path.c_str(), for_writing ? "wb" : "rb");
}

bool list_folder(const std::string& path, std::vector<std::string>& names, bool& missing) {
    DIR* folder = opendir(path.c_str());
    missing = folder == nullptr && errno == ENOENT;
    if (folder == nullptr) {
        return false;
    }
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(folder);
    return true;
}

bool make_folder(const std::string& path) {
    struct stat status {};
    return mkdir(path.c_str(), 0700) == 0 ||
           (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}

bool file_facts(const std::string& path, FileFacts& facts, std::string& error) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = std::strerror(errno);
        return false;
    }
    facts.size = static_cast<std::uint64_t>(status.st_size);
    facts.modified = static_cast<std::int64_t>(status.st_mtime);
    return true;
}

bool remove_file(const std::string& path, bool& was_there, std::string& error) {
    if (unlink(path.c_str()) == 0) {
        was_there = true;
        return true;
    }
    was_there = errno != ENOENT;
    error = std::strerror(errno);
    return !was_there;
}

bool stdin_is_terminal() { return isatty(0) != 0; }

std::string from_utf16(const char16_t* text) {
    // Paths the library built here came from UTF-8, so they go back whole.
    char out[3 * widesave::kPathCapacity + 1];
    return widesave::encode_utf8(text, out, sizeof out) ? std::string(out) : std::string();
}

char folder_separator() { return '/'; }

#endif

}  // namespace cli
