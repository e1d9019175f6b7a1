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

/*
 * Result codes, one set per function. The values are fixed.
 */

/* SetSaveSubdirectory */
#define WIDESAVE_SUBDIR_SET 0      /* the name is in force */
#define WIDESAVE_SUBDIR_TOO_LONG 1 /* longer than 130 bytes; the previous name stays */
#define WIDESAVE_SUBDIR_NOT_UTF8 2 /* not valid UTF-8, or null; the previous name stays */

/* MakeSaveDirectory, and codes 1 to 4 of WriteSaveFile: building a path */
#define WIDESAVE_OK 0                   /* done */
#define WIDESAVE_NO_BASE_FOLDER 1       /* no base folder variable has a value */
#define WIDESAVE_BASE_FOLDER_TOO_LONG 2 /* longer than 259 UTF-16 units (POSIX: or not UTF-8) */
#define WIDESAVE_PATH_TOO_LONG 3        /* base + subdirectory + margin over 260 units */
#define WIDESAVE_PATH_DOES_NOT_FIT 4    /* the formatted path does not fit 260 units */
#define WIDESAVE_DIRECTORY_NOT_MADE 5   /* MakeSaveDirectory: cannot be created or used */

/* SaveFileExist */
#define WIDESAVE_FILE_V 0          /* the slot's file is Save<slot>.rvdata */
#define WIDESAVE_FILE_X 1          /* the slot's file is Save<slot>.rxdata */
#define WIDESAVE_NO_SAVE_FILE (-1) /* neither, or the name cannot be built */

/* WriteSaveFile (1 to 4: a path cannot be built, as above) */
#define WIDESAVE_WRITE_BAD_TEXT 5       /* not hex text, null, or no memory */
#define WIDESAVE_WRITE_CANNOT_REPLACE 6 /* cannot create or replace the file */
#define WIDESAVE_WRITE_FAILED 7         /* the write or a flush to disk failed */

/* ReadSaveFile: an error text is this prefix and one of these digits */
#define WIDESAVE_READ_ERROR_PREFIX "Error: "
#define WIDESAVE_READ_NO_SAVE 1     /* no file, or its name cannot be built */
#define WIDESAVE_READ_CANNOT_OPEN 2 /* cannot open it */
#define WIDESAVE_READ_CANNOT_SIZE 3 /* cannot take its size */
#define WIDESAVE_READ_NO_MEMORY 4   /* no memory for it, or 1 GiB or larger */
#define WIDESAVE_READ_FAILED 5      /* the read failed or came short */

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Names the save directory's subdirectory (UTF-8, at most 130 bytes). The
 * name holds until the next successful call; before any call it is empty.
 * 0: set. 1: longer than 130 bytes. 2: not valid UTF-8, or null. After 1
 * or 2 the previous name stays in force.
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

/*
 * Which file slot `slot` has: 0 for Save<slot>.rvdata, 1 for
 * Save<slot>.rxdata (the 'v' file is preferred, and counts even when it is
 * there but cannot be queried), -1 when it has neither or when its file
 * name cannot be built.
 */
WIDESAVE_API int32_t WIDESAVE_CALL SaveFileExist(int32_t slot);

/*
 * The slot's file whole, as upper-case hex text (two digits a byte), or an
 * error text "Error: N": 1 no save; 2 cannot open; 3 cannot take its size;
 * 4 no memory for it (one block of 2n + 1 bytes), or 1 GiB or larger; 5
 * the read failed or came short. The text is a new malloc block that
 * belongs to the caller (free it with the C runtime's free). Only when even
 * an error text cannot be allocated is a constant text returned instead.
 */
WIDESAVE_API char* WIDESAVE_CALL ReadSaveFile(int32_t slot);

/*
 * Stores the bytes that hex text `text` encodes (either case, even length)
 * as the slot's file, replacing any previous save in one step: a failure
 * leaves the previous save as it was. A slot's first save is its 'x' file,
 * later ones its 'v' file. 0: stored. 1 to 4: the file name cannot be built
 * (as for MakeSaveDirectory). 5: not hex text, or no memory. 6: the file
 * cannot be created or replaced (the save directory does not exist, the
 * save is read-only or held open by another program, or another writer of
 * the slot did not finish within five seconds). 7: the write or the flush
 * to disk failed (after a failed final flush the slot already reads as the
 * new save, which is not known to be on the disk). Nothing is written
 * unless the whole text is valid; a null text gives 5. Processes may write
 * and read one slot at once: each read gives one whole save.
 */
WIDESAVE_API int32_t WIDESAVE_CALL WriteSaveFile(int32_t slot, const char* text);

#ifdef __cplusplus
}
#endif

#endif /* WIDESAVE_H */
