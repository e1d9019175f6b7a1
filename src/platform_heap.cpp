// The heap, the same on every platform: the C runtime's, since blocks
// handed to the host are freed with its free.
#include <cstdlib>

#include "platform.h"
#include "system_calls.h"

namespace widesave::platform {

void* allocate(std::size_t size) {
    void* block = call_system(SystemCall::allocate, static_cast<void*>(nullptr),
                              [&] { return std::malloc(size); });
    if (block != nullptr) {
        track_resource(Resource::heap_block, reinterpret_cast<std::intptr_t>(block), size, true);
    }
    return block;
}

void release(void* block) {
    if (block != nullptr) {
        track_resource(Resource::heap_block, reinterpret_cast<std::intptr_t>(block), 0, false);
    }
    std::free(block);
}

}  // namespace widesave::platform
