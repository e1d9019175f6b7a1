// What every exported function's definition carries.
#ifndef WIDESAVE_EXPORTS_H
#define WIDESAVE_EXPORTS_H

#include "widesave.h"

// Callers built with other compilers may enter with the stack only 4-byte
// aligned; the exports realign it so nothing inside relies on the caller.
#if defined(_WIN32) && defined(__i386__)
#define WIDESAVE_ENTRY extern "C" __attribute__((force_align_arg_pointer))
#else
#define WIDESAVE_ENTRY extern "C"
#endif

#endif
