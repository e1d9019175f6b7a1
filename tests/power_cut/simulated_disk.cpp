// The platform operations the core calls, over simdisk's model. One save
// directory, "/sim/slots", under the base folder "/sim".
#include "simulated_disk.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform.h"

namespace simdisk {
namespace {

Disk current;
int steps;
int cut_at = -1;
bool cut;
Disk at_cut;

constexpr char kDirectory[] = "/sim/slots/";

// False once the power is out: the step does nothing.
bool step() {
    if (cut) {
        return false;
    }
    if (cut_at >= 0 && steps == cut_at) {
        cut = true;
        at_cut = current;
        return false;
    }
    ++steps;
    return true;
}

std::string ascii(const char16_t* text) {
    std::string out;
    for (; *text != 0; ++text) {
        out += static_cast<char>(*text);
    }
    return out;
}

// The name inside the save directory; the disk has no other.
std::string name_of(const char16_t* path) {
    const std::string full = ascii(path);
    const std::size_t prefix = sizeof kDirectory - 1;
    if (full.compare(0, prefix, kDirectory) != 0) {
        std::abort();
    }
    return full.substr(prefix);
}

void change(const EntryChange& entry) {
    switch (entry.kind) {
        case EntryChange::link:
            current.entries[entry.name] = entry.inode;
            break;
        case EntryChange::unlink:
            current.entries.erase(entry.name);
            break;
        case EntryChange::rename:
            current.entries.erase(entry.name);
            current.entries[entry.to] = entry.inode;
            break;
    }
    current.unflushed.push_back(entry);
}

// Open files are inode numbers; what a read has consumed, by inode.
std::map<int, std::size_t> read_positions;

}  // namespace

Disk& disk() { return current; }

void format(const std::map<std::string, std::string>& files) {
    current = Disk{};
    for (const auto& [name, data] : files) {
        current.entries[name] = static_cast<int>(current.inodes.size());
        current.inodes.push_back(Inode{data, data});
    }
    current.durable_entries = current.entries;
    steps = 0;
    cut_at = -1;
    cut = false;
}

void cut_power_at(int step_number) { cut_at = step_number < 0 ? -1 : steps + step_number; }
int steps_taken() { return steps; }
bool power_was_cut() { return cut; }
const Disk& disk_at_cut() { return at_cut; }

int unflushed_items(const Disk& disk_at_cut) {
    int items = static_cast<int>(disk_at_cut.unflushed.size());
    for (const Inode& inode : disk_at_cut.inodes) {
        items += inode.data != inode.durable ? 1 : 0;
    }
    return items;
}

std::map<std::string, std::string> recover(const Disk& disk_at_cut, std::uint64_t keep) {
    Entries entries = disk_at_cut.durable_entries;
    int bit = 0;
    for (const EntryChange& entry : disk_at_cut.unflushed) {
        if ((keep >> bit++ & 1) == 0) {
            continue;
        }
        if (entry.kind == EntryChange::link) {
            entries[entry.name] = entry.inode;
        } else if (entry.kind == EntryChange::unlink) {
            entries.erase(entry.name);
        } else {
            auto from = entries.find(entry.name);
            if (from != entries.end() && from->second == entry.inode) {
                entries.erase(from);
            }
            entries[entry.to] = entry.inode;
        }
    }
    std::vector<std::string> data;
    for (const Inode& inode : disk_at_cut.inodes) {
        const bool dirty = inode.data != inode.durable;
        data.push_back(dirty && (keep >> bit++ & 1) != 0 ? inode.data : inode.durable);
    }
    std::map<std::string, std::string> files;
    for (const auto& [name, inode] : entries) {
        files[name] = data[static_cast<std::size_t>(inode)];
    }
    return files;
}

}  // namespace simdisk

namespace widesave::platform {

using simdisk::current;
using simdisk::EntryChange;
using simdisk::name_of;
using simdisk::step;

std::size_t read_environment(const char16_t* name, char16_t* buffer, std::size_t capacity) {
    if (std::char_traits<char16_t>::compare(name, u"LOCALAPPDATA", 13) != 0 || capacity < 5) {
        return 0;
    }
    std::memcpy(buffer, u"/sim", 5 * sizeof(char16_t));
    return 4;
}

std::size_t read_default_base_folder(char16_t* /*buffer*/, std::size_t /*capacity*/) { return 0; }

bool utf8_to_utf16(const char* text, char16_t* out, std::size_t capacity) {
    std::size_t i = 0;
    for (; text[i] != 0; ++i) {
        if (i + 1 >= capacity || (text[i] & 0x80) != 0) {
            return false;
        }
        out[i] = static_cast<char16_t>(text[i]);
    }
    out[i] = 0;
    return true;
}

DirectoryResult create_directory(const char16_t* /*path*/) {
    return step() ? DirectoryResult::name_exists : DirectoryResult::failed;
}

PathInfo query_path(const char16_t* path) {
    if (!step()) {
        return PathInfo{PathKind::unusable, false};
    }
    const bool there = current.entries.count(name_of(path)) != 0;
    return PathInfo{there ? PathKind::file : PathKind::absent, false};
}

File open_for_reading(const char16_t* path) {
    const auto entry = current.entries.find(name_of(path));
    if (!step() || entry == current.entries.end()) {
        return kNoFile;
    }
    simdisk::read_positions[entry->second] = 0;
    return entry->second;
}

bool read_file_size(File file, std::uint64_t& size) {
    size = current.inodes[static_cast<std::size_t>(file)].data.size();
    return step();
}

bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done) {
    const std::string& data = current.inodes[static_cast<std::size_t>(file)].data;
    std::size_t& position = simdisk::read_positions[static_cast<int>(file)];
    done = 0;
    if (!step()) {
        return false;
    }
    done = std::min(count, data.size() - position);
    std::memcpy(buffer, data.data() + position, done);
    position += done;
    return true;
}

void close_file(File /*file*/) { step(); }

TemporaryResult create_temporary(const char16_t* path, Temporary& temporary) {
    const std::string name = name_of(path);
    if (!step()) {
        return TemporaryResult::failed;
    }
    if (current.entries.count(name) != 0) {
        simdisk::change(EntryChange{EntryChange::unlink, name, {}, current.entries[name]});
    }
    const int inode = static_cast<int>(current.inodes.size());
    current.inodes.push_back(simdisk::Inode{});
    simdisk::change(EntryChange{EntryChange::link, name, {}, inode});
    temporary = Temporary{inode, kNoFile};
    return TemporaryResult::created;
}

bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done) {
    done = 0;
    if (!step()) {
        return false;
    }
    current.inodes[static_cast<std::size_t>(file)].data.append(static_cast<const char*>(data),
                                                               count);
    done = count;
    return true;
}

bool flush_to_disk(File file) {
    if (!step()) {
        return false;
    }
    simdisk::Inode& inode = current.inodes[static_cast<std::size_t>(file)];
    inode.durable = inode.data;
    return true;
}

ReplaceResult replace_with_temporary(Temporary& temporary, const char16_t* path,
                                     const char16_t* target) {
    if (!step()) {
        return ReplaceResult::failed;
    }
    simdisk::change(EntryChange{EntryChange::rename, name_of(path), name_of(target),
                                static_cast<int>(temporary.file)});
    if (!step()) {
        return ReplaceResult::unflushed;
    }
    current.durable_entries = current.entries;  // the directory's flush
    current.unflushed.clear();
    return ReplaceResult::replaced;
}

void end_temporary(Temporary& temporary, const char16_t* path, bool discard) {
    const std::string name = name_of(path);
    if (step() && discard && current.entries.count(name) != 0) {
        simdisk::change(EntryChange{EntryChange::unlink, name, {}, current.entries[name]});
    }
    temporary = Temporary{kNoFile, kNoFile};
}

void pause_ms(unsigned /*milliseconds*/) { step(); }

void* allocate(std::size_t size) { return std::malloc(size); }
void release(void* block) { std::free(block); }

}  // namespace widesave::platform
