/* Saves and reads back one slot through the installed library. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <widesave.h>

int main(int argc, char** argv) {
    const char* subdir = argc > 1 ? argv[1] : "package host";
    char* text;
    int ok;
    if (SetSaveSubdirectory(subdir) != WIDESAVE_SUBDIR_SET || MakeSaveDirectory() != WIDESAVE_OK) {
        fprintf(stderr, "package host: cannot make the save directory\n");
        return 1;
    }
    if (WriteSaveFile(1, "48656c6c6f") != WIDESAVE_OK) {
        fprintf(stderr, "package host: cannot write\n");
        return 1;
    }
    text = ReadSaveFile(1);
    ok = strcmp(text, "48656C6C6F") == 0 && SaveFileExist(1) == WIDESAVE_FILE_X;
    printf("package host: read %s\n", text);
    free(text);
    return ok ? 0 : 1;
}
