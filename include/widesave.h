/*
 * widesave: numbered save slots, one file per slot, under the user's local
 * application-data folder. Every path goes through the UTF-16 file-system
 * calls; the host passes only 8-bit strings and 32-bit integers.
 *
 * On 32-bit Windows the functions are exported from widesave.dll by their
 * plain names, cdecl (the caller removes the arguments). On POSIX they are
 * the dynamic symbols of libwidesave.so.
 *
 * The library keeps one small module-wide state without locks: a host calls
 * one function at a time, from one thread at a time. Calls that overlap may
 * act on each other's paths.
 */
#ifndef WIDESAVE_H
#define WIDESAVE_H

#include <stdint.h>

#if defined(_WIN32)
#define WIDESAVE_CALL __cdecl
#if defined(WIDESAVE_BUILDING)
#define WIDESAVE_API
#else
#define WIDESAVE_API __declspec(dllimport)
#endif
#else
#define WIDESAVE_CALL
#if defined(WIDESAVE_BUILDING)
#define WIDESAVE_API __attribute__((visibility("default")))
#else
#define WIDESAVE_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Names the save directory's subdirectory (UTF-8, at most 130 bytes). The
 * name holds until the next successful call; before any call it is empty.
 * 0: set. 1: longer than 130 bytes. 2: not valid UTF-8. After 1 or 2 the
 * previous name stays in force.
 */
WIDESAVE_API int32_t WIDESAVE_CALL SetSaveSubdirectory(const char* name);

/*
 * Creates the save directory: the base folder, a separator, the subdirectory.
 * Only its last level is created. The base folder is LOCALAPPDATA, else
 * APPDATA (on POSIX then XDG_DATA_HOME, then $HOME/.local/share).
 * 0: created or already a directory. 1: no base folder is set. 2: the base
 * folder is longer than 259 UTF-16 units (or, on POSIX, not valid UTF-8).
 * 3 and 4: the path would be longer than 259 UTF-16 units. 5: it could not
 * be created, or something that is not a directory has its name.
 */
WIDESAVE_API int32_t WIDESAVE_CALL MakeSaveDirectory(void);

#ifdef __cplusplus
}
#endif

#endif /* WIDESAVE_H */
