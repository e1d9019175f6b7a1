#!/usr/bin/env bash
# Builds main.c as an MSVC program against an installed widesave.lib and
# runs it under Wine: clang for the MSVC target, lld-link with its default
# options (so /SAFESEH on 32-bit x86), kernel32 and msvcrt import libraries
# made by llvm-dlltool from the small .def files beside this script.
#   build_and_run.sh PREFIX ARCH SCRATCH     (ARCH: i686 or x86_64)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1 arch=$2 scratch=$3
case $arch in
i686) target=i686-pc-windows-msvc machine=i386 ;;
x86_64) target=x86_64-pc-windows-msvc machine=i386:x86-64 ;;
*) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
tool() { command -v "$1" || command -v "$1-14"; }
mkdir -p "$scratch"
for dll in kernel32 msvcrt; do
    # x86-64 decorates no names; i386 stdcall ones carry their argument bytes.
    if [ "$arch" = x86_64 ]; then
        sed 's/@[0-9]*$//' "$here/$dll.def" >"$scratch/$dll.def"
    else
        cp "$here/$dll.def" "$scratch/$dll.def"
    fi
    "$(tool llvm-dlltool)" -m "$machine" -k -d "$scratch/$dll.def" -l "$scratch/$dll.lib"
done
clang --target="$target" -ffreestanding -fno-stack-protector -O1 -c "$here/main.c" \
    -I"$prefix/include" -o "$scratch/main.obj"
"$(tool lld-link)" /nologo /nodefaultlib /entry:host_entry /subsystem:console \
    "$scratch/main.obj" "$prefix/lib/widesave.lib" "$scratch/kernel32.lib" "$scratch/msvcrt.lib" \
    /out:"$scratch/msvc_host.exe"
cp "$prefix/bin/widesave.dll" "$scratch/"
wine "$scratch/msvc_host.exe"
