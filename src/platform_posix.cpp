// POSIX platform layer: UTF-16 paths become UTF-8 for the system calls;
// environment values are UTF-8, measured in UTF-16 units as on Windows.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "module_state.h"
#include "platform.h"
#include "utf8.h"

namespace widesave::WIDESAVE_OS_NAMESPACE {

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
    if (mkdir(native.text, S_IRWXU) == 0) {
        return DirectoryResult::created;
    }
    return errno == EEXIST ? DirectoryResult::name_exists : DirectoryResult::failed;
}

PathInfo query_path(const char16_t* path) {
    const NativePath native = native_path(path);
    struct stat status {};
    if (!native.valid || stat(native.text, &status) != 0) {
        return PathInfo{false, false, false};
    }
    // The owner's write bit is what marks a save read-only here, whoever runs.
    return PathInfo{true, S_ISDIR(status.st_mode), (status.st_mode & S_IWUSR) == 0};
}

File open_for_reading(const char16_t* path) {
    const NativePath native = native_path(path);
    return native.valid ? open(native.text, O_RDONLY | O_CLOEXEC) : kNoFile;
}

bool read_file_size(File file, std::uint64_t& size) {
    struct stat status {};
    if (fstat(static_cast<int>(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    while (done < count) {
        const ssize_t got =
            read(static_cast<int>(file), static_cast<char*>(buffer) + done, count - done);
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

File create_for_writing(const char16_t* path) {
    const NativePath native = native_path(path);
    return native.valid ? open(native.text, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)
                        : kNoFile;
}

bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done) {
    done = 0;
    while (done < count) {
        const ssize_t put =
            write(static_cast<int>(file), static_cast<const char*>(data) + done, count - done);
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

bool flush_to_disk(File file) { return fsync(static_cast<int>(file)) == 0; }

void close_file(File file) { close(static_cast<int>(file)); }

ReplaceResult replace_file(const char16_t* source, const char16_t* target) {
    const NativePath from = native_path(source);
    NativePath to = native_path(target);
    if (!from.valid || !to.valid || rename(from.text, to.text) != 0) {
        return ReplaceResult::failed;
    }
    // The rename itself becomes durable once the directory is flushed.
    char* last_slash = std::strrchr(to.text, '/');
    if (last_slash != nullptr) {
        *last_slash = 0;
        const int directory =
            open(last_slash == to.text ? "/" : to.text, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (directory >= 0) {
            fsync(directory);
            close(directory);
        }
    }
    return ReplaceResult::replaced;
}

void remove_file(const char16_t* path) {
    const NativePath native = native_path(path);
    if (native.valid) {
        unlink(native.text);
    }
}

void pause_ms(unsigned milliseconds) {
    struct timespec delay {
        static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L
    };
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

void* allocate(std::size_t size) { return std::malloc(size); }

void release(void* block) { std::free(block); }

}  // namespace widesave::WIDESAVE_OS_NAMESPACE
