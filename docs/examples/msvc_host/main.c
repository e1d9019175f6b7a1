/* A host built as an MSVC program (clang for the *-pc-windows-msvc target,
 * linked by lld-link with its defaults) against the installed widesave.lib.
 * It needs no C runtime of its own: its entry point is below, and it
 * imports what it uses from kernel32 and msvcrt. */
#include <widesave.h>

__declspec(dllimport) int __cdecl printf(const char* format, ...);
__declspec(dllimport) int __cdecl strcmp(const char* a, const char* b);
__declspec(dllimport) void __cdecl free(void* block);
__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

static int run(void) {
    char* text;
    int same;
    if (SetSaveSubdirectory("msvc host") != WIDESAVE_SUBDIR_SET ||
        MakeSaveDirectory() != WIDESAVE_OK) {
        printf("msvc host: cannot make the save directory\n");
        return 1;
    }
    if (WriteSaveFile(7, "4D5356430A") != WIDESAVE_OK) {
        printf("msvc host: cannot write\n");
        return 1;
    }
    text = ReadSaveFile(7);
    same = strcmp(text, "4D5356430A") == 0 && SaveFileExist(7) != WIDESAVE_NO_SAVE_FILE;
    printf("msvc host: read %s\n", text);
    free(text);
    return same ? 0 : 1;
}

void __cdecl host_entry(void) { ExitProcess((unsigned int)run()); }
