# Sourced by the scripts: checks for the tools every target needs and, when
# run as root on Debian, installs the missing ones with apt-get.

# missing_packages [demo]: what every suite needs, or (demo) only what
# building the library and the tool for POSIX and 32-bit Windows and running
# them needs.
missing_packages() {
    local packages=()
    if [ "${1:-}" = demo ]; then
        command -v cmake >/dev/null || packages+=(cmake)
        command -v g++ >/dev/null || packages+=(g++)
        command -v i686-w64-mingw32-g++-posix >/dev/null || packages+=(g++-mingw-w64-i686)
        command -v llvm-dlltool >/dev/null || packages+=(llvm)
        command -v wine >/dev/null || packages+=(wine)
        dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed" ||
            packages+=(wine32:i386)
        echo "${packages[@]}"
        return
    fi
    command -v cmake >/dev/null || packages+=(cmake)
    command -v g++ >/dev/null || packages+=(g++)
    command -v i686-w64-mingw32-g++-posix >/dev/null || packages+=(g++-mingw-w64-i686)
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || packages+=(g++-mingw-w64-x86-64)
    command -v aarch64-linux-gnu-g++ >/dev/null || packages+=(g++-aarch64-linux-gnu)
    command -v s390x-linux-gnu-g++ >/dev/null || packages+=(g++-s390x-linux-gnu)
    command -v qemu-aarch64 >/dev/null || packages+=(qemu-user)
    command -v llvm-dlltool >/dev/null || packages+=(llvm)
    command -v lld-link >/dev/null || packages+=(lld)
    command -v pkg-config >/dev/null || packages+=(pkgconf)
    command -v file >/dev/null || packages+=(file)
    command -v mkfs.ext4 >/dev/null || packages+=(e2fsprogs)
    [ -f /usr/include/CLI/CLI.hpp ] || packages+=(libcli11-dev)
    [ -f /usr/src/googletest/CMakeLists.txt ] || packages+=(googletest)
    [ -f /usr/include/gtest/gtest.h ] || packages+=(libgtest-dev)
    [ -f /usr/include/benchmark/benchmark.h ] || packages+=(libbenchmark-dev)
    command -v clang++ >/dev/null || packages+=(clang)
    ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
        packages+=(libclang-rt-14-dev)
    command -v clang-tidy >/dev/null || packages+=(clang-tidy)
    command -v cppcheck >/dev/null || packages+=(cppcheck)
    command -v wine >/dev/null || packages+=(wine)
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed" ||
        packages+=(wine32:i386)
    # wine64 puts no command on PATH; `wine` runs 64-bit programs with it.
    dpkg-query -W -f='${Status}' wine64 2>/dev/null | grep -q "ok installed" || packages+=(wine64)
    echo "${packages[@]}"
}

install_prerequisites() {  # [demo]
    local packages
    packages=$(missing_packages "${1:-}")
    [ -z "$packages" ] && return 0
    if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null; then
        echo "Missing: $packages" >&2
        echo "Install these Debian packages as root (wine32 needs 'dpkg --add-architecture i386')," >&2
        echo "or run this script as root on Debian to install them." >&2
        exit 1
    fi
    echo "Installing: $packages"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $packages
}
