// POSIX platform layer: UTF-16 paths become UTF-8 for the system calls;
// environment values are UTF-8, measured in UTF-16 units as on Windows.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "module_state.h"
#include "platform.h"
#include "system_calls.h"
#include "utf8.h"

namespace widesave::platform {

namespace {

// A path of kPathCapacity UTF-16 units takes at most three bytes a unit.
constexpr std::size_t kNativePathCapacity = 3 * kPathCapacity + 1;

struct NativePath {
    char text[kNativePathCapacity];
    bool valid;
};

NativePath native_path(const char16_t* path) {
    NativePath result{};
    result.valid = encode_utf8(path, result.text, sizeof result.text);
    return result;
}

// The last component of a native path, and its directory ("/" for a file
// at the root, "." for a bare name) written into directory.
const char* split_path(const char* path, char (&directory)[kNativePathCapacity]) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::memcpy(directory, ".", 2);
        return path;
    }
    const std::size_t length = slash == path ? 1 : static_cast<std::size_t>(slash - path);
    std::memcpy(directory, path, length);
    directory[length] = 0;
    return slash + 1;
}

const char* ascii_variable(const char16_t* name, char* out, std::size_t capacity) {
    std::size_t i = 0;
    for (; name[i] != 0 && i + 1 < capacity; ++i) {
        out[i] = static_cast<char>(name[i]);
    }
    out[i] = 0;
    return out;
}

// A value that is not UTF-8 could only name a garbled path: it is reported
// as not fitting, like one that is too long.
std::size_t store_value(const char* value, const char16_t* suffix, char16_t* buffer,
                        std::size_t capacity) {
    const std::size_t units = decode_utf8(value, std::strlen(value), buffer, capacity);
    if (units == kInvalidUtf8) {
        return kInvalidUtf8;
    }
    std::size_t total = units;
    for (; *suffix != 0; ++suffix, ++total) {
        if (total < capacity) {
            buffer[total] = *suffix;
        }
    }
    if (total + 1 > capacity) {
        return total + 1;
    }
    buffer[total] = 0;
    return total;
}

const char* non_empty_variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != 0 ? value : nullptr;
}

// The system calls, each through the gate.
int open_at(SystemCall which, int directory, const char* path, int flags, mode_t mode = 0) {
    const int opened = call_system(which, -1, [&] { return openat(directory, path, flags, mode); });
    if (opened >= 0) {
        track_resource(Resource::file, opened, 0, true);
    }
    return opened;
}

void close_descriptor(int descriptor) {
    track_resource(Resource::file, descriptor, 0, false);
    // Even a close that reports an error releases the descriptor, so an
    // injected failure closes it all the same.
    call_system(SystemCall::close, true, [] { return false; });
    close(descriptor);
}

int stat_path(SystemCall which, const char* path, struct stat& status, int flags) {
    return call_system(which, -1, [&] { return fstatat(AT_FDCWD, path, &status, flags); });
}

int open_directory(const char* path) {
    return open_at(SystemCall::open_directory, AT_FDCWD, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// An I/O error means the data may not be on the disk; a file system that
// cannot flush directories at all is no failure.
bool flush_directory(int directory) {
    const int flushed =
        call_system(SystemCall::flush_directory, -1, [&] { return fsync(directory); });
    // ENOTSUP and EOPNOTSUPP are one value on Linux, two elsewhere.
    // NOLINTNEXTLINE(misc-redundant-expression)
    return flushed == 0 || errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP;
}

}  // namespace

std::size_t read_environment(const char16_t* name, char16_t* buffer, std::size_t capacity) {
    char ascii[64];
    const char* value = non_empty_variable(ascii_variable(name, ascii, sizeof ascii));
    return value == nullptr ? 0 : store_value(value, u"", buffer, capacity);
}

std::size_t read_default_base_folder(char16_t* buffer, std::size_t capacity) {
    // The per-user data folder: XDG_DATA_HOME when it is absolute (a
    // relative one is to be ignored), else $HOME/.local/share.
    const char* data_home = non_empty_variable("XDG_DATA_HOME");
    if (data_home != nullptr && data_home[0] == '/') {
        return store_value(data_home, u"", buffer, capacity);
    }
    const char* home = non_empty_variable("HOME");
    if (home == nullptr) {
        return 0;
    }
    const bool ends_in_slash = home[std::strlen(home) - 1] == '/';
    return store_value(home, ends_in_slash ? u".local/share" : u"/.local/share", buffer, capacity);
}

bool utf8_to_utf16(const char* text, char16_t* out, std::size_t capacity) {
    const std::size_t units = decode_utf8(text, std::strlen(text), out, capacity);
    if (units == kInvalidUtf8 || units + 1 > capacity) {
        return false;
    }
    out[units] = 0;
    return true;
}

DirectoryResult create_directory(const char16_t* path) {
    const NativePath native = native_path(path);
    if (!native.valid) {
        return DirectoryResult::failed;
    }
    const int made =
        call_system(SystemCall::make_directory, -1, [&] { return mkdir(native.text, S_IRWXU); });
    if (made != 0) {
        return errno == EEXIST ? DirectoryResult::name_exists : DirectoryResult::failed;
    }
    // The new entry lasts a power cut only once its parent is flushed.
    char parent[kNativePathCapacity];
    split_path(native.text, parent);
    const int directory = open_directory(parent);
    if (directory < 0) {
        return DirectoryResult::failed;
    }
    const bool flushed = flush_directory(directory);
    close_descriptor(directory);
    return flushed ? DirectoryResult::created : DirectoryResult::failed;
}

PathInfo query_path(const char16_t* path) {
    const NativePath native = native_path(path);
    if (!native.valid) {
        return PathInfo{PathKind::absent, false};  // no such name can exist
    }
    struct stat status {};
    if (stat_path(SystemCall::query_path, native.text, status, 0) == 0) {
        // The owner's write bit is what marks a save read-only here.
        return PathInfo{S_ISDIR(status.st_mode) ? PathKind::directory : PathKind::file,
                        (status.st_mode & S_IWUSR) == 0};
    }
    if (errno != ENOENT && errno != ENOTDIR) {
        return PathInfo{PathKind::unusable, false};  // a loop, an I/O error, no access
    }
    // A link whose target is gone (an unmounted drive) is still an entry.
    const bool link =
        stat_path(SystemCall::query_link, native.text, status, AT_SYMLINK_NOFOLLOW) == 0;
    return PathInfo{link ? PathKind::unusable : PathKind::absent, false};
}

File open_for_reading(const char16_t* path) {
    // Non-blocking, so that a pipe or device in a save's place cannot hang
    // the call; read_file_size accepts only regular files.
    const NativePath native = native_path(path);
    return native.valid ? open_at(SystemCall::open_existing, AT_FDCWD, native.text,
                                  O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                        : kNoFile;
}

bool read_file_size(File file, std::uint64_t& size) {
    struct stat status {};
    const int got = call_system(SystemCall::file_status, -1,
                                [&] { return fstat(static_cast<int>(file), &status); });
    if (got != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    while (done < count) {
        const ssize_t got = call_system(SystemCall::read, ssize_t{-1}, [&] {
            return read(static_cast<int>(file), static_cast<char*>(buffer) + done, count - done);
        });
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;  // end of file: the caller sees the short count
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

void close_file(File file) { close_descriptor(static_cast<int>(file)); }

TemporaryResult create_temporary(const char16_t* path, Temporary& temporary) {
    const NativePath native = native_path(path);
    if (!native.valid) {
        return TemporaryResult::failed;
    }
    char directory_path[kNativePathCapacity];
    const char* name = split_path(native.text, directory_path);
    const int directory = open_directory(directory_path);
    if (directory < 0) {
        return TemporaryResult::failed;
    }
    // Writers of one directory take turns. Where the file system has no
    // such locks, the exclusive create below still keeps them apart.
    const int locked = call_system(SystemCall::lock_directory, -1,
                                   [&] { return flock(directory, LOCK_EX | LOCK_NB); });
    if (locked != 0 && (errno == EWOULDBLOCK || errno == EINTR)) {
        close_descriptor(directory);
        return TemporaryResult::busy;
    }
    // Whatever stands at the name now is stale: this writer holds the lock.
    const int removed =
        call_system(SystemCall::remove, -1, [&] { return unlinkat(directory, name, 0); });
    if (removed != 0 && errno != ENOENT) {
        close_descriptor(directory);
        return TemporaryResult::failed;
    }
    const int file = open_at(SystemCall::create_new, directory, name,
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0) {
        const bool raced = errno == EEXIST;
        close_descriptor(directory);
        return raced ? TemporaryResult::busy : TemporaryResult::failed;
    }
    temporary = Temporary{file, directory};
    return TemporaryResult::created;
}

bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done) {
    done = 0;
    while (done < count) {
        const ssize_t put = call_system(SystemCall::write, ssize_t{-1}, [&] {
            return write(static_cast<int>(file), static_cast<const char*>(data) + done,
                         count - done);
        });
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool flush_to_disk(File file) {
    return call_system(SystemCall::flush, -1, [&] { return fsync(static_cast<int>(file)); }) == 0;
}

ReplaceResult replace_with_temporary(Temporary& temporary, const char16_t* path,
                                     const char16_t* target) {
    const NativePath from = native_path(path);
    const NativePath to = native_path(target);
    if (!from.valid || !to.valid) {
        return ReplaceResult::failed;
    }
    char directory_path[kNativePathCapacity];
    const char* from_name = split_path(from.text, directory_path);
    const char* to_name = split_path(to.text, directory_path);
    const int directory = static_cast<int>(temporary.directory);
    const int renamed = call_system(
        SystemCall::rename, -1, [&] { return renameat(directory, from_name, directory, to_name); });
    if (renamed != 0) {
        return ReplaceResult::failed;
    }
    // The rename itself lasts a power cut once the directory is flushed.
    return flush_directory(directory) ? ReplaceResult::replaced : ReplaceResult::unflushed;
}

void end_temporary(Temporary& temporary, const char16_t* path, bool discard) {
    if (discard) {
        const NativePath native = native_path(path);
        char directory_path[kNativePathCapacity];
        const char* name = split_path(native.text, directory_path);
        const int directory = static_cast<int>(temporary.directory);
        call_system(SystemCall::remove, -1, [&] { return unlinkat(directory, name, 0); });
    }
    close_descriptor(static_cast<int>(temporary.file));
    close_descriptor(static_cast<int>(temporary.directory));  // and with it the lock
    temporary = Temporary{kNoFile, kNoFile};
}

void pause_ms(unsigned milliseconds) {
    struct timespec delay {
        static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L
    };
    while (call_system(SystemCall::pause, -1, [&] { return nanosleep(&delay, &delay); }) != 0 &&
           errno == EINTR) {
    }
}

}  // namespace widesave::platform
