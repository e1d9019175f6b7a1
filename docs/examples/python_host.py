#!/usr/bin/env python3
"""A host in Python: the five functions through ctypes, with their argument
and result kinds declared, and the returned text freed with the C runtime's
free, as the calling guide says.

    python3 python_host.py LIBRARY [SUBDIRECTORY]
"""
import ctypes
import ctypes.util
import sys

library = ctypes.CDLL(sys.argv[1])  # ctypes.cdll.LoadLibrary("widesave.dll") on Windows
subdirectory = sys.argv[2] if len(sys.argv) > 2 else "python host"

library.SetSaveSubdirectory.argtypes = [ctypes.c_char_p]
library.SetSaveSubdirectory.restype = ctypes.c_int32
library.MakeSaveDirectory.argtypes = []
library.MakeSaveDirectory.restype = ctypes.c_int32
library.SaveFileExist.argtypes = [ctypes.c_int32]
library.SaveFileExist.restype = ctypes.c_int32
library.WriteSaveFile.argtypes = [ctypes.c_int32, ctypes.c_char_p]
library.WriteSaveFile.restype = ctypes.c_int32
# A pointer, not c_char_p: ctypes would copy the text and lose the block.
library.ReadSaveFile.argtypes = [ctypes.c_int32]
library.ReadSaveFile.restype = ctypes.c_void_p

# The C runtime the library allocates from: msvcrt.dll on Windows.
libc = ctypes.CDLL(ctypes.util.find_library("c") or "msvcrt")
libc.free.argtypes = [ctypes.c_void_p]
libc.free.restype = None


def read_slot(slot):
    block = library.ReadSaveFile(slot)
    try:
        text = ctypes.string_at(block).decode("ascii")
    finally:
        libc.free(block)
    if text.startswith("Error: "):
        raise OSError("ReadSaveFile(%d): %s" % (slot, text))
    return bytes.fromhex(text)


assert library.SetSaveSubdirectory(subdirectory.encode("utf-8")) == 0
assert library.MakeSaveDirectory() == 0
save = "Sauvegarde ü".encode("utf-8")
assert library.WriteSaveFile(3, save.hex().encode("ascii")) == 0
assert library.SaveFileExist(3) in (0, 1)
assert read_slot(3) == save
print("python host: slot 3 holds %r" % read_slot(3).decode("utf-8"))
