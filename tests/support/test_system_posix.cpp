#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "test_system.h"

namespace testsys {

namespace {

std::string native(const std::u16string& path) { return to_utf8(path); }

bool has_mode(const std::u16string& path, mode_t kind) {
    struct stat status {};
    return stat(native(path).c_str(), &status) == 0 && (status.st_mode & S_IFMT) == kind;
}

}  // namespace

std::u16string make_temp_root() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && tmp[0] != 0 ? tmp : "/tmp") + "/widesave-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return std::u16string(pattern.begin(), pattern.end());
}

void remove_tree(const std::u16string& path) {
    if (path.empty()) {
        return;
    }
    nftw(
        native(path).c_str(),
        [](const char* entry, const struct stat*, int, struct FTW*) { return remove(entry); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

void set_env(const char* name, const std::u16string& value) {
    setenv(name, native(value).c_str(), 1);
}

void unset_env(const char* name) { unsetenv(name); }

bool is_directory(const std::u16string& path) { return has_mode(path, S_IFDIR); }
bool is_file(const std::u16string& path) { return has_mode(path, S_IFREG); }

bool make_directory(const std::u16string& path) { return mkdir(native(path).c_str(), 0700) == 0; }

bool write_file(const std::u16string& path, const std::string& bytes) {
    std::ofstream file(native(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace testsys
