#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds and runs a host
# against it with find_package; for Windows also checks the import
# libraries, the DLL's version resource and the package zip.
#   package_test.sh BUILD_DIR SOURCE_DIR [TOOLCHAIN_FILE]
set -euo pipefail
build=$1 source=$2 toolchain=${3:-}
scratch=$(mktemp -d /tmp/widesave-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
subdir="package host $$"

cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S "$source/tests/package_host" -B "$scratch/host" -Dwidesave_DIR="$prefix/lib/cmake/widesave" \
    ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} >/dev/null
cmake --build "$scratch/host" >/dev/null

if [ -z "$toolchain" ]; then
    mkdir -p "$scratch/base"
    LOCALAPPDATA="$scratch/base" "$scratch/host/package_host" "$subdir"
    test -f "$scratch/base/$subdir/Save1.rxdata"
    if command -v pkg-config >/dev/null; then
        flags=$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags --libs widesave)
        cc "$source/tests/package_host/main.c" $flags -Wl,-rpath,"$prefix/lib" -o "$scratch/pc_host"
        LOCALAPPDATA="$scratch/base" "$scratch/pc_host" "$subdir pc"
        echo "ok   pkg-config host"
    fi
    echo "ok   find_package host"
    exit 0
fi

wine "$scratch/host/package_host.exe" "$subdir"
rm -rf "$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/$subdir"
echo "ok   find_package host under Wine"

nm=i686-w64-mingw32-nm
for lib in widesave.lib libwidesave.dll.a; do
    imports=$("$nm" "$prefix/lib/$lib" | sed -n 's/.* T _\([A-Za-z]*\)$/\1/p' | sort | tr '\n' ' ')
    if [ "$imports" != "MakeSaveDirectory ReadSaveFile SaveFileExist SetSaveSubdirectory WriteSaveFile " ]; then
        echo "FAIL $lib names: $imports"
        exit 1
    fi
    echo "ok   $lib: $imports"
done
strings -el "$prefix/bin/widesave.dll" | grep -q -x "ProductName" ||
    { echo "FAIL no version resource"; exit 1; }
echo "ok   version resource: $(strings -el "$prefix/bin/widesave.dll" | grep -A1 -x ProductVersion | tail -1)"

cmake --build "$build" --target widesave_package >/dev/null
zip=$(ls "$build"/package/widesave-*-win32.zip)
listing=$(cd "$scratch" && cmake -E tar tf "$zip")
for file in bin/widesave.dll bin/widesave.exe include/widesave.h lib/widesave.def lib/widesave.lib \
            lib/libwidesave.dll.a lib/cmake/widesave/widesaveConfig.cmake calling-widesave.txt; do
    grep -q "/$file\$" <<<"$listing" || { echo "FAIL $file missing from $zip"; exit 1; }
done
echo "ok   $(basename "$zip") holds the DLL, the tool, the header, the import libraries and the guide"
