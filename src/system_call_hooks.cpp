// The library watches none of its system calls (see system_calls.h).
#include "system_calls.h"

const widesave::SystemCallHooks* const widesave::system_call_hooks = nullptr;
