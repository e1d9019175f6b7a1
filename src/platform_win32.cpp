// Win32 platform layer: every path goes through the wide-character calls.
#include <windows.h>

#include "platform.h"

namespace widesave::WIDESAVE_OS_NAMESPACE {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
wchar_t* wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

}  // namespace

std::size_t read_environment(const char16_t* name, char16_t* buffer, std::size_t capacity) {
    return GetEnvironmentVariableW(wide(name), wide(buffer), static_cast<DWORD>(capacity));
}

std::size_t read_default_base_folder(char16_t* /*buffer*/, std::size_t /*capacity*/) {
    return 0;  // LOCALAPPDATA and APPDATA are the per-user folders here.
}

bool utf8_to_utf16(const char* text, char16_t* out, std::size_t capacity) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide(out),
                               static_cast<int>(capacity)) != 0;
}

DirectoryResult create_directory(const char16_t* path) {
    if (CreateDirectoryW(wide(path), nullptr) != 0) {
        return DirectoryResult::created;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS ? DirectoryResult::name_exists
                                                  : DirectoryResult::failed;
}

PathInfo query_path(const char16_t* path) {
    const DWORD attributes = GetFileAttributesW(wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathInfo{false, false};
    }
    return PathInfo{true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

}  // namespace widesave::WIDESAVE_OS_NAMESPACE
