#include "module_state.h"

namespace widesave {

char16_t save_subdir[kPathCapacity];
char16_t env_buffer[kPathCapacity];
char16_t filename_buffer[kPathCapacity];
const char16_t* const extension_variant_letters = u"vx";

}  // namespace widesave
