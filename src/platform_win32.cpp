// Win32 platform layer: every path goes through the wide-character calls.
#include <windows.h>

#include <cstdlib>

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
        return PathInfo{false, false, false};
    }
    return PathInfo{true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                    (attributes & FILE_ATTRIBUTE_READONLY) != 0};
}

namespace {

// A File holds the HANDLE's value.
HANDLE handle(File file) {
    return reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr)
}

File open_file(const char16_t* path, DWORD access, DWORD disposition) {
    HANDLE opened =
        CreateFileW(wide(path), access, FILE_SHARE_READ, nullptr, disposition, 0, nullptr);
    return opened == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<File>(opened);
}

}  // namespace

File open_for_reading(const char16_t* path) { return open_file(path, GENERIC_READ, OPEN_EXISTING); }

bool read_file_size(File file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (GetFileSizeEx(handle(file), &value) == 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

// Counts stay below 2^31 (the core refuses larger files), so one call each.
bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done) {
    DWORD moved = 0;
    const BOOL ok = ReadFile(handle(file), buffer, static_cast<DWORD>(count), &moved, nullptr);
    done = moved;
    return ok != 0;
}

File create_for_writing(const char16_t* path) {
    return open_file(path, GENERIC_WRITE, CREATE_ALWAYS);
}

bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done) {
    DWORD moved = 0;
    const BOOL ok = WriteFile(handle(file), data, static_cast<DWORD>(count), &moved, nullptr);
    done = moved;
    return ok != 0;
}

bool flush_to_disk(File file) { return FlushFileBuffers(handle(file)) != 0; }

void close_file(File file) { CloseHandle(handle(file)); }

ReplaceResult replace_file(const char16_t* source, const char16_t* target) {
    if (MoveFileExW(wide(source), wide(target),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return ReplaceResult::replaced;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ? ReplaceResult::busy
                                                                            : ReplaceResult::failed;
}

void remove_file(const char16_t* path) { DeleteFileW(wide(path)); }

void pause_ms(unsigned milliseconds) { Sleep(milliseconds); }

void* allocate(std::size_t size) { return std::malloc(size); }

void release(void* block) { std::free(block); }

}  // namespace widesave::WIDESAVE_OS_NAMESPACE
