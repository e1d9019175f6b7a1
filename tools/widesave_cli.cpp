// widesave: a command-line host of the library. It calls only the five
// exported functions, so it sees saves exactly as a game does.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "widesave.h"
#include "widesave_version.h"

namespace {

// Exit statuses, documented in --help.
enum Status : int {
    kOk = 0,
    kUsage = 1,
    kLocation = 2,  // the save location cannot be used
    kNoSave = 3,
    kBadInput = 4,
    kFileSystem = 5,
    kNoMemory = 6,
};

const char kUsageText[] =
    "usage: widesave [--subdir NAME] COMMAND [ARGS]\n"
    "\n"
    "Looks into and changes the save slots that the widesave library keeps in\n"
    "<base folder>/<NAME>/Save<slot>.r{v,x}data, the base folder being\n"
    "LOCALAPPDATA, else APPDATA"
#if !defined(_WIN32)
    ", else XDG_DATA_HOME, else $HOME/.local/share"
#endif
    ".\n"
    "\n"
    "commands:\n"
    "  mkdir                          make the save directory\n"
    "  exists SLOT                    print the letter of the slot's file (v or x)\n"
    "  read SLOT [-o FILE] [--hex]    write the save's bytes (or hex text) to FILE or stdout\n"
    "  write SLOT [FILE|-] [--hex]    store bytes (or hex text) from FILE or stdin\n"
    "  list [--slots FIRST-LAST] [--json]\n"
    "                                 show each slot that has a save (default 0-99)\n"
    "\n"
    "options:\n"
    "  --subdir NAME   the subdirectory (UTF-8); empty when not given\n"
    "  --help          this text\n"
    "  --version       the version\n"
    "\n"
    "exit status:\n"
    "  0  done\n"
    "  1  the command line is wrong\n"
    "  2  the save location cannot be used (no base folder, a path too long,\n"
    "     a bad subdirectory name)\n"
    "  3  the slot has no save\n"
    "  4  the input cannot be read, or is not hex text\n"
    "  5  a file or directory cannot be made, opened, read or written\n"
    "  6  out of memory\n";

int fail(int status, const std::string& message) {
    (void)std::fprintf(stderr, "widesave: %s\n", message.c_str());  // nowhere else to say it
    return status;
}

int usage(const std::string& message) { return fail(kUsage, message + " (see 'widesave --help')"); }

// Path-build codes 1 to 4, shared by every export that builds a path.
int location_failure(int32_t code) {
    switch (code) {
        case 1:
            return fail(kLocation,
                        "no base folder: neither LOCALAPPDATA nor APPDATA is set"
#if !defined(_WIN32)
                        " (nor XDG_DATA_HOME or HOME)"
#endif
                        "; set one to the folder that holds your saves");
        case 2:
            return fail(kLocation,
                        "the base folder (LOCALAPPDATA or APPDATA) is longer than 259 UTF-16 "
                        "units or not valid UTF-8");
        default:
            return fail(kLocation,
                        "the save path would be longer than 259 UTF-16 units; use a shorter "
                        "subdirectory name or slot number");
    }
}

const char kMissingDirectory[] =
    "cannot create the save file: the save directory may not exist yet ('widesave mkdir' "
    "makes it), or the save is read-only or held open by another program";

int write_failure(int32_t code) {
    switch (code) {
        case 5:
            return fail(kNoMemory, "out of memory, or the data is not hex text");
        case 6:
            return fail(kFileSystem, kMissingDirectory);
        case 7:
            return fail(kFileSystem,
                        "writing the save failed (is the disk full?); the previous save is "
                        "unchanged");
        default:
            return location_failure(code);
    }
}

int read_failure(int32_t slot, const char* error) {
    switch (error[7]) {
        case '1':
            return fail(kNoSave, "slot " + std::to_string(slot) + " has no save");
        case '2':
            return fail(kFileSystem, "cannot open the save file (held open by another program?)");
        case '3':
            return fail(kFileSystem, "cannot read the save file's size");
        case '4':
            return fail(kNoMemory, "out of memory, or the save is 1 GiB or larger");
        case '5':
            return fail(kFileSystem, "reading the save file failed");
        default:
            return fail(kNoMemory, "out of memory for the save's hex text");
    }
}

bool parse_slot(const std::string& text, int32_t& slot) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    slot = static_cast<int32_t>(value);
    return true;
}

FILE* open_file(const std::string& path, bool for_writing) {
#if defined(_WIN32)
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), size);
    return _wfopen(wide.c_str(), for_writing ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), for_writing ? "wb" : "rb");
#endif
}

bool read_all(FILE* file, std::string& data) {
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.append(chunk, got);
    }
    return std::ferror(file) == 0;
}

std::string to_hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text(2 * bytes.size(), '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto value = static_cast<unsigned char>(bytes[i]);
        text[2 * i] = digits[value >> 4];
        text[2 * i + 1] = digits[value & 0xF];
    }
    return text;
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return c - 'a' + 10;  // the library gave upper case; kept for safety
}

std::string from_hex(const char* text) {
    const std::size_t length = std::strlen(text);
    std::string bytes(length / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(digit_value(text[2 * i]) * 16 + digit_value(text[2 * i + 1]));
    }
    return bytes;
}

// ReadSaveFile's text, freed as the library's contract says; false (with
// the exit status in status) when it is an error text.
bool read_save(int32_t slot, std::string& hex, int& status) {
    char* text = ReadSaveFile(slot);
    if (std::strncmp(text, "Error: ", 7) == 0) {
        status = read_failure(slot, text);
        std::free(text);
        return false;
    }
    hex = text;
    std::free(text);
    return true;
}

struct Arguments {
    std::vector<std::string> words;  // positional
    std::string output;
    std::string slots = "0-99";
    bool hex = false;
    bool json = false;
};

int command_mkdir(const Arguments& args) {
    if (!args.words.empty()) {
        return usage("mkdir takes no arguments");
    }
    const int32_t code = MakeSaveDirectory();
    if (code == 5) {
        return fail(kFileSystem,
                    "cannot create the save directory: the folder above it must exist, and no "
                    "file may have its name");
    }
    return code == 0 ? kOk : location_failure(code);
}

int command_exists(const Arguments& args) {
    int32_t slot = 0;
    if (args.words.size() != 1 || !parse_slot(args.words[0], slot)) {
        return usage("exists takes one slot number");
    }
    const int32_t found = SaveFileExist(slot);
    if (found < 0) {
        return fail(kNoSave, "slot " + args.words[0] + " has no save");
    }
    std::printf("%c\n", "vx"[found]);
    return kOk;
}

int command_read(const Arguments& args) {
    int32_t slot = 0;
    if (args.words.size() != 1 || !parse_slot(args.words[0], slot)) {
        return usage("read takes one slot number");
    }
    std::string hex;
    int status = kOk;
    if (!read_save(slot, hex, status)) {
        return status;
    }
    const std::string data = args.hex ? hex + "\n" : from_hex(hex.c_str());
    FILE* out = args.output.empty() ? stdout : open_file(args.output, true);
    if (out == nullptr) {
        return fail(kFileSystem, "cannot create " + args.output);
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
    const bool closed = out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    return ok && closed ? kOk : fail(kFileSystem, "cannot write the output");
}

int command_write(const Arguments& args) {
    int32_t slot = 0;
    if (args.words.empty() || args.words.size() > 2 || !parse_slot(args.words[0], slot)) {
        return usage("write takes a slot number and a file (or - for standard input)");
    }
    const std::string source = args.words.size() == 2 ? args.words[1] : "-";
    FILE* in = source == "-" ? stdin : open_file(source, false);
    if (in == nullptr) {
        return fail(kBadInput, "cannot open " + source);
    }
    std::string data;
    const bool read = read_all(in, data);
    if (in != stdin) {
        (void)std::fclose(in);  // only read from
    }
    if (!read) {
        return fail(kBadInput, "cannot read " + source);
    }
    if (args.hex) {
        while (!data.empty() && (data.back() == '\n' || data.back() == '\r')) {
            data.pop_back();
        }
        if (data.find('\0') != std::string::npos) {
            return fail(kBadInput, "the input is not hex text");
        }
    }
    const int32_t code = WriteSaveFile(slot, args.hex ? data.c_str() : to_hex(data).c_str());
    if (code == 5 && args.hex) {
        return fail(kBadInput,
                    "the input is not hex text: an even number of digits 0-9, A-F or a-f");
    }
    return code == 0 ? kOk : write_failure(code);
}

int command_list(const Arguments& args) {
    int32_t first = 0;
    int32_t last = 0;
    const std::size_t dash = args.slots.find('-', 1);
    if (!args.words.empty() || dash == std::string::npos ||
        !parse_slot(args.slots.substr(0, dash), first) ||
        !parse_slot(args.slots.substr(dash + 1), last) || first > last) {
        return usage("list takes --slots FIRST-LAST");
    }
    struct Row {
        int32_t slot;
        char letter;
        std::size_t size;
    };
    std::vector<Row> rows;
    for (int64_t slot = first; slot <= last; ++slot) {
        const auto s = static_cast<int32_t>(slot);
        const int32_t found = SaveFileExist(s);
        if (found < 0) {
            continue;
        }
        std::string hex;
        int status = kOk;
        if (!read_save(s, hex, status)) {
            return status;
        }
        rows.push_back(Row{s, "vx"[found], hex.size() / 2});
    }
    if (args.json) {
        std::printf("[");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::printf("%s{\"slot\": %d, \"letter\": \"%c\", \"bytes\": %zu}", i ? ", " : "",
                        static_cast<int>(rows[i].slot), rows[i].letter, rows[i].size);
        }
        std::printf("]\n");
        return kOk;
    }
    if (!rows.empty()) {
        std::printf("%6s  %6s  %12s\n", "slot", "letter", "bytes");
    }
    for (const Row& row : rows) {
        std::printf("%6d  %6c  %12zu\n", static_cast<int>(row.slot), row.letter, row.size);
    }
    return kOk;
}

int run(const std::vector<std::string>& argv) {
    Arguments args;
    std::string command;
    std::string subdir;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& word = argv[i];
        const bool has_value = i + 1 < argv.size();
        if (word == "--help" || word == "-h") {
            return std::fputs(kUsageText, stdout) < 0 ? kFileSystem : kOk;
        }
        if (word == "--version") {
            std::printf("widesave %s\n", WIDESAVE_VERSION);
            return kOk;
        }
        if (word == "--subdir" || word == "-o" || word == "--slots") {
            if (!has_value) {
                return usage(word + " needs a value");
            }
            std::string& target = word == "--subdir" ? subdir
                                  : word == "-o"     ? args.output
                                                     : args.slots;
            target = argv[++i];
        } else if (word == "--hex") {
            args.hex = true;
        } else if (word == "--json") {
            args.json = true;
        } else if (word.size() > 1 && word[0] == '-' && word != "-" &&
                   !(word[1] >= '0' && word[1] <= '9')) {
            return usage("unknown option " + word);
        } else if (command.empty()) {
            command = word;
        } else {
            args.words.push_back(word);
        }
    }
    if (command.empty()) {
        return usage("no command given");
    }

    const int32_t named = SetSaveSubdirectory(subdir.c_str());
    if (named == 1) {
        return fail(kLocation, "the subdirectory name is longer than 130 bytes");
    }
    if (named == 2) {
        return fail(kLocation, "the subdirectory name is not valid UTF-8");
    }

    if (command == "mkdir") {
        return command_mkdir(args);
    }
    if (command == "exists") {
        return command_exists(args);
    }
    if (command == "read") {
        return command_read(args);
    }
    if (command == "write") {
        return command_write(args);
    }
    if (command == "list") {
        return command_list(args);
    }
    return usage("unknown command " + command);
}

}  // namespace

#if defined(_WIN32)
// The command line arrives as UTF-16, so names work from any console code
// page; it is handed on as UTF-8.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, word.data(), size, nullptr, nullptr);
        word.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
        words.push_back(word);
    }
    return run(words);
}
#else
int main(int argc, char** argv) { return run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
