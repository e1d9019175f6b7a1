#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds and runs hosts against
# it as a game's build would: with find_package through CMAKE_PREFIX_PATH,
# natively also with pkg-config (for a multiarch libdir too) and from
# Python's ctypes. For Windows it also builds an MSVC host against the
# installed widesave.lib and checks both import libraries, the version
# resource and the package zip.
#   package_test.sh BUILD_DIR SOURCE_DIR [TOOLCHAIN_FILE [EMULATOR...]]
set -euo pipefail
build=$1 source=$2 toolchain=${3:-}
shift $(($# < 3 ? $# : 3))
emulator=("$@")
scratch=$(mktemp -d /tmp/widesave-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
subdir="package host $$"
export_names=$(awk '/@[0-9]+/ { print $1 }' "$source/src/widesave.def" | sort | tr '\n' ' ')

cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S "$source/docs/examples/cmake_host" -B "$scratch/host" -DCMAKE_PREFIX_PATH="$prefix" \
    ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} >/dev/null
cmake --build "$scratch/host" >/dev/null
libdir=$(ls -d "$prefix"/lib*)

# No debug information, and for ELF no symbol table beyond the dynamic one.
for file in "$prefix"/bin/widesave* "$libdir"/libwidesave.so.*.*; do
    [ -f "$file" ] || continue
    case $(file -b "$file") in
    ELF*) stripped=$(file -b "$file" | grep -v -q "not stripped" && echo yes || echo no) ;;
    PE32*) stripped=$(objdump -h "$file" | grep -q "\.debug_" && echo no || echo yes) ;;
    *) stripped=yes ;;
    esac
    if [ "$stripped" != yes ]; then
        echo "FAIL $file is not stripped"
        exit 1
    fi
done
echo "ok   installed binaries are stripped"
license=$(find "$prefix" -name LICENSE | head -1)
guide=$(find "$prefix" -name calling-widesave.txt | head -1)
grep -q "zlib\|This software is provided 'as-is'" "$license" && [ -n "$guide" ] ||
    { echo "FAIL the licence or the calling guide is not installed"; exit 1; }
echo "ok   LICENSE and calling guide installed"

if [[ "$toolchain" != *mingw* ]]; then
    mkdir -p "$scratch/base"
    LOCALAPPDATA="$scratch/base" "${emulator[@]}" "$scratch/host/package_host" "$subdir"
    test -f "$scratch/base/$subdir/Save1.rxdata"
    echo "ok   find_package host"
    soname=$(objdump -p "$libdir"/libwidesave.so.*.* 2>/dev/null | awk '/SONAME/ { print $2 }')
    [ -n "$toolchain" ] || [ "$soname" = libwidesave.so.0 ] || { echo "FAIL SONAME '$soname'"; exit 1; }
    [ -n "$toolchain" ] && exit 0
    echo "ok   SONAME $soname"
    flags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs widesave)
    cc "$source/docs/examples/cmake_host/main.c" $flags -Wl,-rpath,"$libdir" -o "$scratch/pc_host"
    LOCALAPPDATA="$scratch/base" "$scratch/pc_host" "$subdir pc"
    echo "ok   pkg-config host"
    # A distribution's build: no tests (so none of their tools), prefix /usr,
    # libdir lib/<multiarch>.
    multiarch=$(cc -print-multiarch)
    cmake -S "$source" -B "$scratch/multiarch" -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr \
        -DCMAKE_INSTALL_LIBDIR="lib/$multiarch" >/dev/null
    cmake --build "$scratch/multiarch" -j 2 >/dev/null
    DESTDIR="$scratch/root" cmake --install "$scratch/multiarch" >/dev/null
    pc=$scratch/root/usr/lib/$multiarch/pkgconfig/widesave.pc
    got=$(for variable in libdir includedir; do
        PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --variable=$variable widesave
    done)
    want="$scratch/root/usr/lib/$multiarch $scratch/root/usr/include"
    [ "$(realpath -m $got | tr '\n' ' ')" = "$(realpath -m $want | tr '\n' ' ')" ] ||
        { echo "FAIL multiarch pkg-config gives $got"; exit 1; }
    echo "ok   pkg-config paths for prefix /usr, libdir lib/$multiarch"
    LOCALAPPDATA="$scratch/base" python3 "$source/docs/examples/python_host.py" "$libdir/libwidesave.so" "$subdir py"
    echo "ok   Python ctypes host"
    exit 0
fi

wine "$scratch/host/package_host.exe" "$subdir"
rm -rf "$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/$subdir"
echo "ok   find_package host under Wine"

case $toolchain in
*i686*) arch=i686 architecture=win32 underscore=_ ;;
*) arch=x86_64 architecture=win64 underscore= ;;
esac
nm=$arch-w64-mingw32-nm
for lib in widesave.lib libwidesave.dll.a; do
    imports=$("$nm" "$prefix/lib/$lib" 2>/dev/null | sed -n "s/.* T $underscore\([A-Za-z]*\)$/\1/p" | sort -u | tr '\n' ' ')
    if [ "$imports" != "$export_names" ]; then
        echo "FAIL $lib names: $imports"
        exit 1
    fi
    echo "ok   $lib: $imports"
done
# The short import form has no member names, so no build path can be in it.
if grep -a -q "$build\|$prefix\|$source" "$prefix/lib/widesave.lib"; then
    echo "FAIL widesave.lib holds a build path"
    exit 1
fi
echo "ok   widesave.lib holds no build path"
bash "$source/docs/examples/msvc_host/build_and_run.sh" "$prefix" "$arch" "$scratch/msvc"
rm -rf "$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/msvc host"
echo "ok   MSVC host (clang, lld-link with its defaults) against the installed widesave.lib"
strings -el "$prefix/bin/widesave.dll" | grep -q -x "ProductName" ||
    { echo "FAIL no version resource"; exit 1; }
echo "ok   version resource: $(strings -el "$prefix/bin/widesave.dll" | grep -A1 -x ProductVersion | tail -1)"

cmake --build "$build" --target widesave_package >/dev/null
zip=$(ls "$build"/package/widesave-*-$architecture.zip)
listing=$(cd "$scratch" && cmake -E tar tf "$zip")
for file in bin/widesave.dll bin/widesave.exe include/widesave.h lib/widesave.def lib/widesave.lib \
            lib/libwidesave.dll.a lib/cmake/widesave/widesaveConfig.cmake calling-widesave.txt LICENSE; do
    grep -q "/$file\$" <<<"$listing" || { echo "FAIL $file missing from $zip"; exit 1; }
done
echo "ok   $(basename "$zip") holds the DLL, the tool, the header, the import libraries, the guide and the licence"
