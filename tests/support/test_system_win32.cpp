#include <windows.h>

#include <algorithm>

#include "test_system.h"

namespace testsys {

namespace {

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

DWORD attributes(const std::u16string& path) { return GetFileAttributesW(wide(path).c_str()); }

}  // namespace

std::u16string make_temp_root() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0) {
        return {};
    }
    for (;;) {
        std::wstring root = std::wstring(temp, length) + L"widesave-test-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter);
        if (CreateDirectoryW(root.c_str(), nullptr)) {
            return std::u16string(root.begin(), root.end());
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return {};
        }
    }
}

void remove_tree(const std::u16string& path) {
    if (path.empty()) {
        return;
    }
    const std::wstring root = wide(path);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((root + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = root + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(std::u16string(child.begin(), child.end()));
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(root.c_str());
}

void set_env(const char* name, const std::u16string& value) {
    const std::string ascii(name);
    SetEnvironmentVariableW(std::wstring(ascii.begin(), ascii.end()).c_str(), wide(value).c_str());
}

void unset_env(const char* name) {
    const std::string ascii(name);
    SetEnvironmentVariableW(std::wstring(ascii.begin(), ascii.end()).c_str(), nullptr);
}

bool is_directory(const std::u16string& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool is_file(const std::u16string& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool make_directory(const std::u16string& path) {
    return CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool write_file(const std::u16string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace testsys

namespace testsys {

std::optional<std::string> read_file(const std::u16string& path) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

std::vector<std::u16string> list_directory(const std::u16string& path) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide(path) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.emplace_back(name.begin(), name.end());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool set_read_only(const std::u16string& path, bool read_only) {
    return SetFileAttributesW(wide(path).c_str(),
                              read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool make_sparse_file(const std::u16string& path, std::uint64_t size) {
    HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

void* hold_file(const std::u16string& path, unsigned long share) {
    HANDLE file =
        CreateFileW(wide(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void release_file(void* handle) { CloseHandle(handle); }

}  // namespace testsys

namespace testsys {

bool remove_file(const std::u16string& path) {
    SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(wide(path).c_str()) != 0;
}

namespace {

std::wstring from_utf8(const std::string& text) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), units);
    out.resize(out.size() - 1);
    return out;
}

// Quoted as the C runtime splits a command line back into arguments.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

}  // namespace

std::vector<int> run_processes(const std::vector<std::vector<std::string>>& commands) {
    std::vector<HANDLE> started;
    for (const std::vector<std::string>& command : commands) {
        std::wstring line;
        for (const std::string& argument : command) {
            line += (line.empty() ? L"" : L" ") + quoted(from_utf8(argument));
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(from_utf8(command[0]).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            started.push_back(process.hProcess);
        } else {
            started.push_back(nullptr);
        }
    }
    std::vector<int> statuses;
    for (HANDLE process : started) {
        DWORD status = 0;
        if (process == nullptr || WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process, &status)) {
            statuses.push_back(-1);
        } else {
            statuses.push_back(static_cast<int>(status));
        }
        if (process != nullptr) {
            CloseHandle(process);
        }
    }
    return statuses;
}

std::string program_directory() {
    wchar_t path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    const std::wstring text(path, length);
    return to_utf8(std::u16string(text.begin(),
                                  text.begin() + static_cast<std::ptrdiff_t>(text.rfind(L'\\'))));
}

}  // namespace testsys
