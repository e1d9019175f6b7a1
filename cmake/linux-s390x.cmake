# Cross-compiles for big-endian s390x Linux and runs the tests under qemu-user.
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-common.cmake)
