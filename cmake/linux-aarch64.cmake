# Cross-compiles for 64-bit ARM Linux and runs the tests under qemu-user.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
