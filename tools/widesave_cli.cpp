// widesave: a command-line host of the library for players and host
// developers. Save data moves only through the five exported functions, so
// the tool sees saves exactly as a game does; to name files (path, list,
// delete) it uses the library's own path code, compiled in.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "cli_files.h"
#include "module_state.h"
#include "save_path.h"
#include "slot_file.h"
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

const char kDescription[] =
    "Looks into and changes the save slots that the widesave library keeps in\n"
    "<base folder>/<NAME>/Save<slot>.r{v,x}data, the base folder being\n"
    "LOCALAPPDATA, else APPDATA"
#if !defined(_WIN32)
    ", else XDG_DATA_HOME, else $HOME/.local/share"
#endif
    ".\n"
    "\n"
    "  widesave [--subdir NAME] mkdir\n"
    "  widesave [--subdir NAME] path [SLOT]\n"
    "  widesave [--subdir NAME] exists SLOT\n"
    "  widesave [--subdir NAME] read SLOT [-o FILE] [--hex]\n"
    "  widesave [--subdir NAME] write SLOT [FILE|-] [--hex] [--force]\n"
    "  widesave [--subdir NAME] delete SLOT\n"
    "  widesave [--subdir NAME] list [--slots FIRST-LAST] [--json]\n"
    "  widesave [--subdir NAME] backup DIR\n"
    "  widesave [--subdir NAME] restore DIR\n"
    "\n"
    "Options may also be written --name=value; '--' ends them, so that\n"
    "'write -- -5 FILE' takes slot -5.";

const char kFooter[] =
    "Exit status:\n"
    "  0  done\n"
    "  1  the command line is wrong\n"
    "  2  the save location cannot be used (no base folder, a path too long,\n"
    "     a bad subdirectory name)\n"
    "  3  the slot has no save, or the save directory does not exist\n"
    "  4  the input cannot be read, is empty, or is not hex text\n"
    "  5  a file or directory cannot be made, opened, read or written\n"
    "  6  out of memory";

int fail(int status, const std::string& message) {
    (void)std::fprintf(stderr, "widesave: %s\n", message.c_str());  // nowhere else to say it
    return status;
}

// Path-build codes 1 to 4, shared by every export that builds a path.
int location_failure(int32_t code) {
    const std::string longest = std::to_string(widesave::kPathCapacity - 1) + " UTF-16 units";
    switch (code) {
        case WIDESAVE_NO_BASE_FOLDER:
            return fail(kLocation,
                        "no base folder: neither LOCALAPPDATA nor APPDATA is set"
#if !defined(_WIN32)
                        " (nor XDG_DATA_HOME or HOME)"
#endif
                        "; set one to the folder that holds your saves");
        case WIDESAVE_BASE_FOLDER_TOO_LONG:
            return fail(kLocation, "the base folder (LOCALAPPDATA or APPDATA) is longer than " +
                                       longest + " or not valid UTF-8");
        default:
            return fail(kLocation, "the save path would be longer than " + longest +
                                       "; use a shorter subdirectory name or slot number");
    }
}

int write_failure(int32_t code) {
    switch (code) {
        case WIDESAVE_WRITE_BAD_TEXT:
            return fail(kNoMemory, "out of memory, or the data is not hex text");
        case WIDESAVE_WRITE_CANNOT_REPLACE:
            return fail(kFileSystem,
                        "cannot create the save file: the save directory may not exist yet "
                        "('widesave mkdir' makes it), or the save is read-only or held open by "
                        "another program");
        case WIDESAVE_WRITE_FAILED:
            return fail(kFileSystem,
                        "writing the save failed (is the disk full?); the previous save is "
                        "unchanged, unless only the final flush to disk failed");
        default:
            return location_failure(code);
    }
}

int read_failure(int32_t slot, const char* error) {
    switch (error[std::strlen(WIDESAVE_READ_ERROR_PREFIX)] - '0') {
        case WIDESAVE_READ_NO_SAVE:
            return fail(kNoSave, "slot " + std::to_string(slot) + " has no save");
        case WIDESAVE_READ_CANNOT_OPEN:
            return fail(kFileSystem, "cannot open the save file (held open by another program?)");
        case WIDESAVE_READ_CANNOT_SIZE:
            return fail(kFileSystem, "cannot read the save file's size (is it a regular file?)");
        case WIDESAVE_READ_NO_MEMORY:
            return fail(kNoMemory, "out of memory, or the save is 1 GiB or larger");
        default:
            return fail(kFileSystem, "reading the save file failed");
    }
}

// Decimal, an optional minus sign, nothing else (no spaces, no plus).
bool parse_slot(const std::string& text, int32_t& slot) {
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits || text.size() > digits + 10 ||
        !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    slot = static_cast<int32_t>(value);
    return true;
}

int bad_slot(const std::string& text) {
    return fail(kUsage, "'" + text + "' is not a slot number (a whole number, -2147483648 to " +
                            "2147483647)");
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

// The library's text, upper-case digits only, back to bytes.
std::string from_hex(const std::string& text) {
    auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string bytes(text.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(value(text[2 * i]) * 16 + value(text[2 * i + 1]));
    }
    return bytes;
}

// ReadSaveFile's text, freed as the library's contract says; false (with
// the exit status in status) when it is an error text.
bool read_save(int32_t slot, std::string& hex, int& status) {
    char* text = ReadSaveFile(slot);
    const std::size_t prefix = std::strlen(WIDESAVE_READ_ERROR_PREFIX);
    if (std::strncmp(text, WIDESAVE_READ_ERROR_PREFIX, prefix) == 0) {
        status = read_failure(slot, text);
        std::free(text);
        return false;
    }
    hex = text;
    std::free(text);
    return true;
}

bool write_bytes(const std::string& data, const std::string& path) {
    FILE* out = path.empty() || path == "-" ? stdout : cli::open_file(path, true);
    if (out == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
    return (out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0) && ok;
}

// The save directory as the library names it, through its own path code.
bool save_directory(std::string& path, int& status) {
    const int32_t code = widesave::SaveDirectoryName();
    if (code != WIDESAVE_OK) {
        status = location_failure(code);
        return false;
    }
    path = cli::from_utf16(widesave::filename_buffer);
    // The library's path ends in a separator when the name is empty.
    if (path.size() > 1 && path.back() == cli::folder_separator()) {
        path.pop_back();
    }
    return true;
}

// The slot whose file the library would give this name, if any: the
// number after "Save" is a candidate, and the library's own path code,
// with either letter, has the last word.
bool slot_of(const std::string& name, int32_t& slot) {
    const std::size_t dot = name.find('.');
    if (name.compare(0, 4, "Save") != 0 || dot == std::string::npos ||
        !parse_slot(name.substr(4, dot - 4), slot)) {
        return false;
    }
    const std::string ending = cli::folder_separator() + name;
    for (const int32_t letter : {WIDESAVE_FILE_V, WIDESAVE_FILE_X}) {
        if (widesave::MakeSaveFileName(slot, letter) == WIDESAVE_OK) {
            const std::string path = cli::from_utf16(widesave::filename_buffer);
            if (path.size() >= ending.size() &&
                path.compare(path.size() - ending.size(), ending.size(), ending) == 0) {
                return true;
            }
        }
    }
    return false;
}

// Slots that have a file in the save directory, each once, in order.
bool slots_on_disk(std::vector<int32_t>& slots, int& status) {
    std::string directory;
    if (!save_directory(directory, status)) {
        return false;
    }
    std::vector<std::string> names;
    bool missing = false;
    if (!cli::list_folder(directory, names, missing)) {
        status = missing ? fail(kNoSave, "the save directory " + directory +
                                             " does not exist (check --subdir; "
                                             "'widesave mkdir' makes it)")
                         : fail(kFileSystem, "cannot list the save directory " + directory);
        return false;
    }
    for (const std::string& name : names) {
        int32_t slot = 0;
        if (slot_of(name, slot)) {
            slots.push_back(slot);
        }
    }
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    return true;
}

// The letter of a slot's file ('v' or 'x'), as the library names it.
char letter_of(int32_t index) {
    return static_cast<char>(widesave::extension_variant_letters[index]);
}

std::string utc_time(std::int64_t seconds) {
    const auto value = static_cast<std::time_t>(seconds);
    std::tm parts{};
#if defined(_WIN32)
    (void)gmtime_s(&parts, &value);
#else
    gmtime_r(&value, &parts);
#endif
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts) != 0 ? text : "?";
}

int command_mkdir() {
    const int32_t code = MakeSaveDirectory();
    if (code == WIDESAVE_DIRECTORY_NOT_MADE) {
        return fail(kFileSystem,
                    "cannot create the save directory: the folder above it must exist, no file "
                    "may have its name, and the name must be one the system keeps as given");
    }
    return code == WIDESAVE_OK ? kOk : location_failure(code);
}

int command_exists(int32_t slot) {
    const int32_t found = SaveFileExist(slot);
    if (found == WIDESAVE_NO_SAVE_FILE) {
        return fail(kNoSave, "slot " + std::to_string(slot) + " has no save");
    }
    std::printf("%c\n", letter_of(found));
    return kOk;
}

int command_read(int32_t slot, const std::string& output, bool hex) {
    std::string text;
    int status = kOk;
    if (!read_save(slot, text, status)) {
        return status;
    }
    return write_bytes(hex ? text + "\n" : from_hex(text), output)
               ? kOk
               : fail(kFileSystem, "cannot write " + (output.empty() ? "the output" : output));
}

int command_write(int32_t slot, const std::string& source, bool hex, bool force) {
    const bool from_stdin = source.empty() || source == "-";
    if (from_stdin && cli::stdin_is_terminal()) {
        return fail(kBadInput, "no input: give a file, or pipe the save into standard input");
    }
    FILE* in = from_stdin ? stdin : cli::open_file(source, false);
    if (in == nullptr) {
        return fail(kBadInput, "cannot open " + source);
    }
    std::string data;
    const bool read = read_all(in, data);
    if (in != stdin) {
        (void)std::fclose(in);  // only read from
    }
    if (!read) {
        return fail(kBadInput,
                    "cannot read " + (from_stdin ? std::string("standard input") : source));
    }
    if (hex) {
        // Hex as other tools print it: whitespace and line breaks between digits.
        data.erase(std::remove_if(
                       data.begin(), data.end(),
                       [](char c) { return std::strchr(" \t\r\n\v\f", c) != nullptr && c != 0; }),
                   data.end());
        if (data.find('\0') != std::string::npos) {
            return fail(kBadInput, "the input is not hex text");
        }
    }
    if (data.empty() && !force) {
        return fail(kBadInput, "the input is empty; to store an empty save, give --force");
    }
    const int32_t code = WriteSaveFile(slot, hex ? data.c_str() : to_hex(data).c_str());
    if (code == WIDESAVE_WRITE_BAD_TEXT && hex) {
        return fail(kBadInput,
                    "the input is not hex text: an even number of digits 0-9, A-F or a-f, with "
                    "only whitespace between them");
    }
    return code == WIDESAVE_OK ? kOk : write_failure(code);
}

int command_path(const std::string& slot_text) {
    int status = kOk;
    if (slot_text.empty()) {
        std::string directory;
        if (!save_directory(directory, status)) {
            return status;
        }
        std::printf("%s\n", directory.c_str());
        return kOk;
    }
    int32_t slot = 0;
    if (!parse_slot(slot_text, slot)) {
        return bad_slot(slot_text);
    }
    const widesave::SlotProbe probe = widesave::probe_slot(slot);
    if (probe.build_code != WIDESAVE_OK) {
        return location_failure(probe.build_code);
    }
    if (probe.index == WIDESAVE_NO_SAVE_FILE) {
        return fail(kNoSave, "slot " + slot_text + " has no save");
    }
    std::printf("%s\n", cli::from_utf16(widesave::filename_buffer).c_str());
    return kOk;
}

int command_delete(int32_t slot) {
    // The older 'x' file first: were the 'v' file removed first and the
    // 'x' one then not, the older save would come back as current.
    bool removed_any = false;
    for (const int32_t letter : {WIDESAVE_FILE_X, WIDESAVE_FILE_V}) {
        const int32_t code = widesave::MakeSaveFileName(slot, letter);
        if (code != WIDESAVE_OK) {
            return location_failure(code);
        }
        const std::string path = cli::from_utf16(widesave::filename_buffer);
        bool was_there = false;
        std::string error;
        if (!cli::remove_file(path, was_there, error)) {
            std::string message = "cannot remove " + path;
            message += ": ";
            message += error;
            return fail(kFileSystem, message);
        }
        removed_any = removed_any || was_there;
    }
    return removed_any ? kOk : fail(kNoSave, "slot " + std::to_string(slot) + " has no save");
}

int command_list(const std::string& range, bool json) {
    const std::size_t dash = range.find('-', 1);
    int32_t first = 0;
    int32_t last = 0;
    if (dash == std::string::npos || !parse_slot(range.substr(0, dash), first) ||
        !parse_slot(range.substr(dash + 1), last) || first > last) {
        return fail(kUsage,
                    "--slots takes FIRST-LAST, two slot numbers, the first not above the last");
    }
    std::vector<int32_t> slots;
    int status = kOk;
    if (!slots_on_disk(slots, status)) {
        return status;
    }
    struct Row {
        int32_t slot;
        char letter;
        cli::FileFacts facts;
        std::string error;
    };
    std::vector<Row> rows;
    for (const int32_t slot : slots) {
        if (slot < first || slot > last) {
            continue;
        }
        const widesave::SlotProbe probe = widesave::probe_slot(slot);
        if (probe.build_code != WIDESAVE_OK || probe.index == WIDESAVE_NO_SAVE_FILE) {
            continue;  // only a directory has the name
        }
        Row row{slot, letter_of(probe.index), {0, 0}, {}};
        cli::file_facts(cli::from_utf16(widesave::filename_buffer), row.facts, row.error);
        rows.push_back(row);
    }
    if (json) {
        std::printf("[");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            std::printf("%s{\"slot\": %d, \"letter\": \"%c\", ", i ? ", " : "",
                        static_cast<int>(row.slot), row.letter);
            if (row.error.empty()) {
                std::printf("\"bytes\": %llu, \"modified\": \"%s\"}",
                            static_cast<unsigned long long>(row.facts.size),
                            utc_time(row.facts.modified).c_str());
            } else {
                std::printf("\"error\": \"%s\"}", row.error.c_str());
            }
        }
        std::printf("]\n");
        return kOk;
    }
    if (!rows.empty()) {
        std::printf("%11s  %6s  %12s  %s\n", "slot", "letter", "bytes", "modified (UTC)");
    }
    for (const Row& row : rows) {
        if (row.error.empty()) {
            std::printf("%11d  %6c  %12llu  %s\n", static_cast<int>(row.slot), row.letter,
                        static_cast<unsigned long long>(row.facts.size),
                        utc_time(row.facts.modified).c_str());
        } else {
            std::printf("%11d  %6c  unreadable: %s\n", static_cast<int>(row.slot), row.letter,
                        row.error.c_str());
        }
    }
    return kOk;
}

std::string in_folder(const std::string& folder, const std::string& name) {
    return folder + cli::folder_separator() + name;
}

int command_backup(const std::string& folder) {
    std::vector<int32_t> slots;
    int status = kOk;
    if (!slots_on_disk(slots, status)) {
        return status;
    }
    if (!cli::make_folder(folder)) {
        return fail(kFileSystem, "cannot make the folder " + folder);
    }
    int result = kOk;
    for (const int32_t slot : slots) {
        std::string hex;
        if (!read_save(slot, hex, status)) {
            result = status;
            continue;
        }
        const std::string data = from_hex(hex);
        const std::string path = in_folder(folder, std::to_string(slot));
        if (!write_bytes(data, path)) {
            result = fail(kFileSystem, "cannot write " + path);
            continue;
        }
        std::printf("slot %d: %zu bytes\n", static_cast<int>(slot), data.size());
    }
    return result;
}

int command_restore(const std::string& folder) {
    std::vector<std::string> names;
    bool missing = false;
    if (!cli::list_folder(folder, names, missing)) {
        return fail(kBadInput, "cannot list the folder " + folder);
    }
    std::map<int32_t, std::string> files;  // by slot, so in slot order
    for (const std::string& name : names) {
        int32_t slot = 0;
        if (parse_slot(name, slot)) {
            files[slot] = name;
        }
    }
    if (files.empty()) {
        return fail(kBadInput, "no backup in " + folder + ": no file is named by a slot number");
    }
    int result = kOk;
    for (const auto& [slot, name] : files) {
        FILE* in = cli::open_file(in_folder(folder, name), false);
        std::string data;
        const bool read = in != nullptr && read_all(in, data);
        if (in != nullptr) {
            (void)std::fclose(in);  // only read from
        }
        if (!read) {
            result = fail(kBadInput, "cannot read " + in_folder(folder, name));
            continue;
        }
        const int32_t code = WriteSaveFile(slot, to_hex(data).c_str());
        if (code != WIDESAVE_OK) {
            result = write_failure(code);
            continue;
        }
        std::printf("slot %d: %zu bytes\n", static_cast<int>(slot), data.size());
    }
    return result;
}

int run_command(int argc, char** argv) {
    CLI::App app{kDescription, "widesave"};
    app.footer(kFooter);
    app.require_subcommand(0, 1);
    app.fallthrough();
    std::string subdir;
    bool version = false;
    app.add_option("--subdir", subdir, "the subdirectory (UTF-8); empty when not given");
    app.add_flag("--version", version, "print the version");

    std::string slot_text;
    std::string file;
    std::string output;
    std::string range = "0-99";
    bool hex = false;
    bool json = false;
    bool force = false;
    auto* help = app.add_subcommand("help", "print this help");
    auto* mkdir = app.add_subcommand("mkdir", "make the save directory");
    auto* path =
        app.add_subcommand("path", "print the save directory, or the file a slot's reads use");
    path->add_option("SLOT", slot_text, "a slot number");
    auto* exists = app.add_subcommand("exists", "print the letter of the slot's file (v or x)");
    exists->add_option("SLOT", slot_text, "a slot number")->required();
    auto* read =
        app.add_subcommand("read", "write the save's bytes (or hex text) to FILE or stdout");
    read->add_option("SLOT", slot_text, "a slot number")->required();
    read->add_option("-o,--output", output, "the file to write (default: standard output)");
    read->add_flag("--hex", hex, "write hex text instead of bytes");
    auto* write = app.add_subcommand("write", "store bytes (or hex text) from FILE or stdin");
    write->add_option("SLOT", slot_text, "a slot number")->required();
    write->add_option("FILE", file, "the file to read, or - for standard input (the default)");
    write->add_flag("--hex", hex,
                    "read hex text (whitespace between digits allowed) instead of bytes");
    write->add_flag("--force", force, "store an empty save too");
    auto* erase = app.add_subcommand("delete", "remove the slot's files under both letters");
    erase->add_option("SLOT", slot_text, "a slot number")->required();
    auto* list = app.add_subcommand("list", "show each slot that has a save: letter, size, time");
    list->add_option("--slots", range, "FIRST-LAST, default 0-99");
    list->add_flag("--json", json, "print JSON");
    auto* backup = app.add_subcommand("backup", "copy every slot's save into DIR, a file per slot");
    backup->add_option("DIR", file, "the folder (made if needed)")->required();
    auto* restore =
        app.add_subcommand("restore", "write each slot saved in DIR back, and say which");
    restore->add_option("DIR", file, "a folder that backup filled")->required();

    // Taken before parsing: afterwards CLI11 gives the chosen command's.
    const std::string usage = app.help();
    if (argc <= 1) {
        (void)std::fputs(usage.c_str(), stderr);
        return kUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return std::fputs(usage.c_str(), stdout) < 0 ? kFileSystem : kOk;
    } catch (const CLI::ParseError& error) {
        return fail(kUsage, std::string(error.what()) + " (see 'widesave --help')");
    }
    if (version) {
        std::printf("widesave %s\n", WIDESAVE_VERSION);
        return kOk;
    }
    if (help->parsed()) {
        return std::fputs(usage.c_str(), stdout) < 0 ? kFileSystem : kOk;
    }
    if (app.get_subcommands().empty()) {
        return fail(kUsage, "no command given (see 'widesave --help')");
    }

    // The library's name for the subdirectory, and the tool's own copy of
    // its path code, hold the same name.
    const int32_t named = SetSaveSubdirectory(subdir.c_str());
    if (named == WIDESAVE_SUBDIR_TOO_LONG) {
        return fail(kLocation, "the subdirectory name is longer than 130 bytes");
    }
    if (named != WIDESAVE_SUBDIR_SET || widesave::set_subdirectory(subdir.c_str()) != named) {
        return fail(kLocation, "the subdirectory name is not valid UTF-8");
    }

    int32_t slot = 0;
    const bool takes_slot =
        exists->parsed() || read->parsed() || write->parsed() || erase->parsed();
    if (takes_slot && !parse_slot(slot_text, slot)) {
        return bad_slot(slot_text);
    }
    if (mkdir->parsed()) {
        return command_mkdir();
    }
    if (path->parsed()) {
        return command_path(slot_text);
    }
    if (exists->parsed()) {
        return command_exists(slot);
    }
    if (read->parsed()) {
        return command_read(slot, output, hex);
    }
    if (write->parsed()) {
        return command_write(slot, file, hex, force);
    }
    if (erase->parsed()) {
        return command_delete(slot);
    }
    if (list->parsed()) {
        return command_list(range, json);
    }
    return backup->parsed() ? command_backup(file) : command_restore(file);
}

int run(int argc, char** argv) {
    try {
        return run_command(argc, argv);
    } catch (const std::exception& error) {  // out of memory, in practice
        return fail(kNoMemory, error.what());
    }
}

}  // namespace

#if defined(_WIN32)
// The command line arrives as UTF-16, so names work from any console code
// page; it is handed on as UTF-8.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    std::vector<std::string> words;
    for (int i = 0; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, word.data(), size, nullptr, nullptr);
        word.resize(word.size() - 1);
        words.push_back(word);
    }
    std::vector<char*> pointers;
    pointers.reserve(words.size() + 1);
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return run(argc, pointers.data());
}
#else
int main(int argc, char** argv) { return run(argc, argv); }
#endif
