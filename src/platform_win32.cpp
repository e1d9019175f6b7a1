// Win32 platform layer: every path goes through the wide-character calls.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "module_state.h"
#include "platform.h"
#include "system_calls.h"

namespace widesave::platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
wchar_t* wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

// A File holds the HANDLE's value.
HANDLE handle(File file) {
    return reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr)
}

File open_file(SystemCall which, const char16_t* path, DWORD access, DWORD share,
               DWORD disposition) {
    HANDLE opened = call_system(which, INVALID_HANDLE_VALUE, [&] {
        return CreateFileW(wide(path), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    });
    if (opened == INVALID_HANDLE_VALUE) {
        return kNoFile;
    }
    const File file = reinterpret_cast<File>(opened);
    track_resource(Resource::file, file, 0, true);
    return file;
}

DWORD attributes_of(const char16_t* path) {
    return call_system(SystemCall::query_path, INVALID_FILE_ATTRIBUTES,
                       [&] { return GetFileAttributesW(wide(path)); });
}

// Whether files can be made in the directory path names exactly. Windows
// drops a trailing space or dot from a path's last name and takes device
// names (NUL, COM1) as devices, so CreateDirectoryW can succeed on a name
// that slot paths, which go on past it, never reach. With a separator
// after it, the name is taken literally, as inside a slot path.
bool usable_directory(const char16_t* path) {
    char16_t inside[kPathCapacity + 1];
    const std::size_t length = std::char_traits<char16_t>::length(path);
    std::memcpy(inside, path, length * sizeof(char16_t));
    std::size_t end = length;
    if (end == 0 || inside[end - 1] != u'\\') {
        inside[end++] = u'\\';
    }
    inside[end] = 0;
    const DWORD attributes = attributes_of(inside);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL set_information(SystemCall which, File file, FILE_INFO_BY_HANDLE_CLASS kind, void* data,
                     DWORD size) {
    return call_system(which, FALSE,
                       [&] { return SetFileInformationByHandle(handle(file), kind, data, size); });
}

// One ReadFile or WriteFile through the gate; done is what it moved.
template <typename Call>
bool transfer(SystemCall which, std::size_t& done, Call call) {
    DWORD moved = 0;
    const BOOL ok = call_system(which, FALSE, [&] { return call(moved); });
    done = moved;
    return ok != 0;
}

bool busy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

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
    const BOOL made = call_system(SystemCall::make_directory, FALSE,
                                  [&] { return CreateDirectoryW(wide(path), nullptr); });
    if (made == 0 && GetLastError() != ERROR_ALREADY_EXISTS) {
        return DirectoryResult::failed;
    }
    if (!usable_directory(path)) {
        if (made != 0) {
            // What was made has another name than the one asked for.
            call_system(SystemCall::remove, FALSE, [&] { return RemoveDirectoryW(wide(path)); });
        }
        return DirectoryResult::failed;
    }
    return made != 0 ? DirectoryResult::created : DirectoryResult::name_exists;
}

PathInfo query_path(const char16_t* path) {
    const DWORD attributes = attributes_of(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                            error == ERROR_INVALID_NAME;
        return PathInfo{absent ? PathKind::absent : PathKind::unusable, false};
    }
    return PathInfo{
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::directory : PathKind::file,
        (attributes & FILE_ATTRIBUTE_READONLY) != 0};
}

File open_for_reading(const char16_t* path) {
    // Shared for deletion too, so that a reader never holds up a writer's
    // replace: the reader keeps the file it opened, whole.
    return open_file(SystemCall::open_existing, path, GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
}

bool read_file_size(File file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (call_system(SystemCall::file_status, FALSE,
                    [&] { return GetFileSizeEx(handle(file), &value); }) == 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

// Counts stay below 2^31 (the core refuses larger files), so one call each.
bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done) {
    return transfer(SystemCall::read, done, [&](DWORD& moved) {
        return ReadFile(handle(file), buffer, static_cast<DWORD>(count), &moved, nullptr);
    });
}

void close_file(File file) {
    track_resource(Resource::file, file, 0, false);
    // Even a close that reports an error releases the handle, so an
    // injected failure closes it all the same.
    call_system(SystemCall::close, true, [] { return false; });
    CloseHandle(handle(file));
}

TemporaryResult create_temporary(const char16_t* path, Temporary& temporary) {
    // A stale file may be read-only, hidden or a system file; a link is
    // removed itself, never followed. While another writer holds its
    // temporary file, neither step can touch it.
    call_system(SystemCall::clear_attributes, FALSE,
                [&] { return SetFileAttributesW(wide(path), FILE_ATTRIBUTE_NORMAL); });
    const BOOL removed =
        call_system(SystemCall::remove, FALSE, [&] { return DeleteFileW(wide(path)); });
    if (removed == 0) {
        const DWORD error = GetLastError();
        if (busy(error)) {
            return TemporaryResult::busy;
        }
        if (error != ERROR_FILE_NOT_FOUND) {
            return TemporaryResult::failed;
        }
    }
    // Exclusive to this writer: no one else may write it or move it.
    const File file = open_file(SystemCall::create_new, path, GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ, CREATE_NEW);
    if (file == kNoFile) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || busy(error)
                   ? TemporaryResult::busy
                   : TemporaryResult::failed;
    }
    temporary = Temporary{file, kNoFile};
    return TemporaryResult::created;
}

bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done) {
    return transfer(SystemCall::write, done, [&](DWORD& moved) {
        return WriteFile(handle(file), data, static_cast<DWORD>(count), &moved, nullptr);
    });
}

bool flush_to_disk(File file) {
    return call_system(SystemCall::flush, FALSE, [&] { return FlushFileBuffers(handle(file)); }) !=
           0;
}

ReplaceResult replace_with_temporary(Temporary& temporary, const char16_t* /*path*/,
                                     const char16_t* target) {
    // Renaming the handle this writer holds: it can only ever move its own
    // file, never another writer's.
    struct {
        FILE_RENAME_INFO info;
        // FileName runs on into it.
        // cppcheck-suppress unusedStructMember
        wchar_t room[kPathCapacity];
    } rename{};
    const std::size_t length = std::char_traits<char16_t>::length(target);
    rename.info.ReplaceIfExists = TRUE;
    rename.info.RootDirectory = nullptr;
    rename.info.FileNameLength = static_cast<DWORD>(length) * DWORD{sizeof(wchar_t)};
    std::memcpy(rename.info.FileName, target, (length + 1) * sizeof(char16_t));
    if (set_information(SystemCall::rename, temporary.file, FileRenameInfo, &rename,
                        sizeof rename) == 0) {
        return busy(GetLastError()) ? ReplaceResult::busy : ReplaceResult::failed;
    }
    // Its new name, too, is forced onto the disk.
    return flush_to_disk(temporary.file) ? ReplaceResult::replaced : ReplaceResult::unflushed;
}

void end_temporary(Temporary& temporary, const char16_t* path, bool discard) {
    bool removed = !discard;
    if (discard) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        removed = set_information(SystemCall::discard, temporary.file, FileDispositionInfo,
                                  &disposition, sizeof disposition) != 0;
    }
    close_file(temporary.file);
    if (!removed) {
        // Another writer's file at that name by now is held without delete
        // sharing, so this cannot remove it.
        call_system(SystemCall::remove, FALSE, [&] { return DeleteFileW(wide(path)); });
    }
    temporary = Temporary{kNoFile, kNoFile};
}

void pause_ms(unsigned milliseconds) {
    call_system(SystemCall::pause, 0, [&] {
        Sleep(milliseconds);
        return 0;
    });
}

}  // namespace widesave::platform
