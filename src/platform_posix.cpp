// POSIX platform layer: UTF-16 paths become UTF-8 for the system calls;
// environment values are UTF-8, measured in UTF-16 units as on Windows.
#include <sys/stat.h>

#include <cerrno>
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
        return PathInfo{false, false};
    }
    return PathInfo{true, S_ISDIR(status.st_mode)};
}

}  // namespace widesave::WIDESAVE_OS_NAMESPACE
