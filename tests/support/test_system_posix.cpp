#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

namespace testsys {

std::optional<std::string> read_file(const std::u16string& path) {
    std::ifstream file(native(path), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::u16string> list_directory(const std::u16string& path) {
    std::vector<std::u16string> names;
    DIR* directory = opendir(native(path).c_str());
    if (directory == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name.begin(), name.end());  // test names are ASCII
        }
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

bool set_read_only(const std::u16string& path, bool read_only) {
    return chmod(native(path).c_str(), read_only ? 0400 : 0600) == 0;
}

bool make_sparse_file(const std::u16string& path, std::uint64_t size) {
    const int file = open(native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0) {
        return false;
    }
    const bool ok = ftruncate(file, static_cast<off_t>(size)) == 0;
    close(file);
    return ok;
}

}  // namespace testsys

#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>

namespace testsys {

bool remove_file(const std::u16string& path) { return unlink(native(path).c_str()) == 0; }

std::vector<int> run_processes(const std::vector<std::vector<std::string>>& commands) {
    std::vector<pid_t> started;
    for (const std::vector<std::string>& command : commands) {
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (const std::string& argument : command) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            pid = -1;
        }
        started.push_back(pid);
    }
    std::vector<int> statuses;
    for (const pid_t pid : started) {
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            statuses.push_back(-1);
        } else {
            statuses.push_back(WEXITSTATUS(status));
        }
    }
    return statuses;
}

std::string program_directory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    std::string text(path, static_cast<std::size_t>(length));
    return text.substr(0, text.rfind('/'));
}

}  // namespace testsys
