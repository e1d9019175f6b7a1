// Test builds only: the platform operations as the core sees them, each
// passing through to the real one in widesave::os unless a fault is due,
// with counts of open files and live heap blocks.
#include "exports.h"
#include "fault_points.h"
#include "platform.h"

namespace widesave {
namespace {

struct Fault {
    std::int32_t skip;
    std::int32_t times;
};

Fault faults[kFaultPointCount];
std::int32_t open_files;
std::int32_t live_blocks;

// Sizes of the blocks allocated and not yet released, for the peak.
struct Block {
    void* address;
    std::size_t size;
};
Block blocks[256];
std::int64_t live_bytes;
std::int64_t peak_bytes;
std::int64_t bytes_at_restart;

void track(void* address, std::size_t size) {
    for (Block& block : blocks) {
        if (block.address == nullptr) {
            block = Block{address, size};
            live_bytes += static_cast<std::int64_t>(size);
            peak_bytes = live_bytes > peak_bytes ? live_bytes : peak_bytes;
            return;
        }
    }
}

void untrack(const void* address) {
    for (Block& block : blocks) {
        if (block.address == address) {
            live_bytes -= static_cast<std::int64_t>(block.size);
            block = Block{nullptr, 0};
            return;
        }
    }
}

bool strikes(WidesaveFaultPoint point) {
    Fault& fault = faults[point];
    if (fault.times == 0) {
        return false;
    }
    if (fault.skip > 0) {
        --fault.skip;
        return false;
    }
    if (fault.times > 0) {
        --fault.times;
    }
    return true;
}

File counted(File file) {
    if (file != kNoFile) {
        ++open_files;
    }
    return file;
}

}  // namespace

namespace platform {

std::size_t read_environment(const char16_t* name, char16_t* buffer, std::size_t capacity) {
    return os::read_environment(name, buffer, capacity);
}

std::size_t read_default_base_folder(char16_t* buffer, std::size_t capacity) {
    return os::read_default_base_folder(buffer, capacity);
}

bool utf8_to_utf16(const char* text, char16_t* out, std::size_t capacity) {
    return os::utf8_to_utf16(text, out, capacity);
}

DirectoryResult create_directory(const char16_t* path) { return os::create_directory(path); }

PathInfo query_path(const char16_t* path) { return os::query_path(path); }

File open_for_reading(const char16_t* path) {
    return strikes(kFaultOpenForReading) ? kNoFile : counted(os::open_for_reading(path));
}

bool read_file_size(File file, std::uint64_t& size) {
    return !strikes(kFaultFileSize) && os::read_file_size(file, size);
}

bool read_bytes(File file, void* buffer, std::size_t count, std::size_t& done) {
    return os::read_bytes(file, buffer, strikes(kFaultShortRead) ? count / 2 : count, done);
}

File create_for_writing(const char16_t* path) {
    return strikes(kFaultCreateForWriting) ? kNoFile : counted(os::create_for_writing(path));
}

bool write_bytes(File file, const void* data, std::size_t count, std::size_t& done) {
    if (strikes(kFaultDiskFull)) {
        os::write_bytes(file, data, count / 2, done);
        return false;
    }
    return os::write_bytes(file, data, count, done);
}

bool flush_to_disk(File file) { return !strikes(kFaultFlush) && os::flush_to_disk(file); }

void close_file(File file) {
    --open_files;
    os::close_file(file);
}

ReplaceResult replace_file(const char16_t* source, const char16_t* target) {
    if (strikes(kFaultReplaceBusy)) {
        return ReplaceResult::busy;
    }
    if (strikes(kFaultReplaceFailed)) {
        return ReplaceResult::failed;
    }
    return os::replace_file(source, target);
}

void remove_file(const char16_t* path) { os::remove_file(path); }

void pause_ms(unsigned milliseconds) { os::pause_ms(milliseconds); }

void* allocate(std::size_t size) {
    void* block = strikes(kFaultAllocate) ? nullptr : os::allocate(size);
    if (block != nullptr) {
        ++live_blocks;
        track(block, size);
    }
    return block;
}

void release(void* block) {
    if (block != nullptr) {
        --live_blocks;
        untrack(block);
    }
    os::release(block);
}

}  // namespace platform
}  // namespace widesave

using namespace widesave;

WIDESAVE_ENTRY WIDESAVE_API int32_t WIDESAVE_CALL widesave_inject_fault(int32_t point, int32_t skip,
                                                                        int32_t times) {
    if (point < 0 || point >= kFaultPointCount) {
        return -1;
    }
    faults[point] = Fault{skip, times};
    return 0;
}

WIDESAVE_ENTRY WIDESAVE_API void WIDESAVE_CALL widesave_fault_counters(int32_t* files,
                                                                       int32_t* allocated) {
    *files = open_files;
    *allocated = live_blocks;
}

WIDESAVE_ENTRY WIDESAVE_API int64_t WIDESAVE_CALL widesave_fault_peak_heap(int32_t restart) {
    if (restart != 0) {
        bytes_at_restart = live_bytes;
        peak_bytes = live_bytes;
    }
    return peak_bytes - bytes_at_restart;
}
