// The DLL's entry point, linked without the MinGW start-up code: there is
// nothing to set up or tear down, so every notification succeeds.
#include <windows.h>

extern "C" BOOL WINAPI widesave_dll_entry(HINSTANCE /*instance*/, DWORD /*reason*/,
                                          LPVOID /*reserved*/) {
    return TRUE;
}
