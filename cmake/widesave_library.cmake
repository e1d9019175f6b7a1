# widesave_add_library(NAME [FAULT_INJECTION])
# The shared library from the sources in src/. With FAULT_INJECTION it is the
# test build: the platform operations pass through platform_faults.cpp, which
# the tests steer through one more export.

set(WIDESAVE_WARNINGS -Wall -Wextra -Werror -Wshadow -Wconversion -Wsign-conversion)

# SSE2 is part of every 32-bit Windows since 8; the hex kernels use it.
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(WIDESAVE_ARCH_FLAGS -msse2)
endif()

set(WIDESAVE_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)
set(WIDESAVE_CORE_SOURCES
    ${WIDESAVE_SRC}/hex_codec.cpp
    ${WIDESAVE_SRC}/hex_codec_avx2.cpp
    ${WIDESAVE_SRC}/module_state.cpp
    ${WIDESAVE_SRC}/save_directory.cpp
    ${WIDESAVE_SRC}/save_path.cpp
    ${WIDESAVE_SRC}/slot_file.cpp
    ${WIDESAVE_SRC}/slot_reader.cpp
    ${WIDESAVE_SRC}/slot_writer.cpp
    ${WIDESAVE_SRC}/utf16_text.cpp)

if(WIN32)
  set(WIDESAVE_PLATFORM_SOURCES ${WIDESAVE_SRC}/platform_win32.cpp ${WIDESAVE_SRC}/dll_entry.cpp)
else()
  set(WIDESAVE_PLATFORM_SOURCES ${WIDESAVE_SRC}/platform_posix.cpp ${WIDESAVE_SRC}/utf8.cpp)
endif()

function(widesave_add_library name)
  cmake_parse_arguments(ARG "FAULT_INJECTION" "" "" ${ARGN})
  set(sources ${WIDESAVE_CORE_SOURCES} ${WIDESAVE_PLATFORM_SOURCES})
  if(ARG_FAULT_INJECTION)
    list(APPEND sources ${WIDESAVE_SRC}/platform_faults.cpp)
    set(export_list ${WIDESAVE_SRC}/widesave_faults)
  else()
    set(export_list ${WIDESAVE_SRC}/widesave)
  endif()

  add_library(${name} SHARED ${sources})
  target_include_directories(${name} PUBLIC
      $<BUILD_INTERFACE:${WIDESAVE_SRC}/../include> $<INSTALL_INTERFACE:include>
      PRIVATE ${WIDESAVE_SRC})
  target_compile_definitions(${name} PRIVATE WIDESAVE_BUILDING
      $<$<BOOL:${ARG_FAULT_INJECTION}>:WIDESAVE_FAULT_INJECTION>)
  target_compile_options(${name} PRIVATE ${WIDESAVE_WARNINGS} ${WIDESAVE_ARCH_FLAGS} -fno-exceptions -fno-rtti)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})

  if(WIN32)
    # Exactly the listed exports, by ordinal; no MinGW start-up code, so the
    # entry point is ours alone; the runtime is linked in statically.
    target_sources(${name} PRIVATE ${export_list}.def ${WIDESAVE_SRC}/widesave.rc)
    target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/generated)
    target_link_options(${name} PRIVATE
        -nostartfiles -Wl,--entry=_widesave_dll_entry@12
        -Wl,--no-undefined -Wl,--enable-stdcall-fixup)
  else()
    set_target_properties(${name} PROPERTIES
        PREFIX "lib"
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${export_list}.map)
    target_link_options(${name} PRIVATE
        -Wl,--version-script=${export_list}.map -Wl,--no-undefined -Wl,--as-needed)
  endif()
endfunction()

# The hex kernels and the platform layer as a static library, for the tests
# and benchmarks that call them directly.
function(widesave_add_internals name)
  set(platform ${WIDESAVE_PLATFORM_SOURCES})
  list(FILTER platform EXCLUDE REGEX dll_entry)
  add_library(${name} STATIC ${WIDESAVE_SRC}/hex_codec.cpp ${WIDESAVE_SRC}/hex_codec_avx2.cpp
              ${platform})
  target_include_directories(${name} PUBLIC ${WIDESAVE_SRC} ${WIDESAVE_SRC}/../include)
  target_compile_options(${name} PRIVATE ${WIDESAVE_WARNINGS} ${WIDESAVE_ARCH_FLAGS})
endfunction()
