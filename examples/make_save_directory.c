/*
 * A minimal host in C: names the subdirectory (UTF-8, from the command
 * line) and makes the save directory. WIDESAVE_DEMO_BASE, when set, becomes
 * LOCALAPPDATA first, so a demonstration never touches the real folder.
 */
#include <stdio.h>
#include <stdlib.h>

#include "widesave.h"

#if defined(_WIN32)
#include <windows.h>

static char* utf8_argument(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char* out = (char*)malloc((size_t)size);
    if (out != NULL) {
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, NULL, NULL);
    }
    return out;
}

static void use_demo_base(void) {
    wchar_t base[1024];
    if (GetEnvironmentVariableW(L"WIDESAVE_DEMO_BASE", base, 1024) - 1 < 1023) {
        SetEnvironmentVariableW(L"LOCALAPPDATA", base);
    }
}
#else
static void use_demo_base(void) {
    const char* base = getenv("WIDESAVE_DEMO_BASE");
    if (base != NULL) {
        setenv("LOCALAPPDATA", base, 1);
    }
}
#endif

static int run(const char* name) {
    int32_t code;
    use_demo_base();
    code = SetSaveSubdirectory(name);
    printf("SetSaveSubdirectory -> %d\n", (int)code);
    if (code != 0) {
        return 1;
    }
    code = MakeSaveDirectory();
    printf("MakeSaveDirectory -> %d\n", (int)code);
    return code == 0 ? 0 : 1;
}

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
    char* name = utf8_argument(argc > 1 ? argv[1] : L"");
    int status = name != NULL ? run(name) : 1;
    free(name);
    return status;
}
#else
int main(int argc, char** argv) { return run(argc > 1 ? argv[1] : ""); }
#endif
