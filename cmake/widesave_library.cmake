# widesave_add_library(NAME [FAULT_INJECTION])
# The shared library from the sources in src/. With FAULT_INJECTION it is the
# test build: tests/faults/fault_control.cpp hooks every system call the
# platform layer makes, and the library exports the functions that steer it.

# The options every target of the project compiles with travel on these
# INTERFACE targets. The target architecture's flags: SSE2 is part of every
# 32-bit Windows since 8, and the hex kernels use it.
add_library(widesave_arch INTERFACE)
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  target_compile_options(widesave_arch INTERFACE -msse2)
endif()
# The warnings, all errors. Tests set WIDESAVE_TEST_CODE on themselves and
# leave out the conversion warnings, which their literals would trip.
add_library(widesave_options INTERFACE)
target_link_libraries(widesave_options INTERFACE widesave_arch)
target_compile_options(widesave_options INTERFACE -Wall -Wextra -Werror -Wshadow
    $<$<NOT:$<BOOL:$<TARGET_PROPERTY:WIDESAVE_TEST_CODE>>>:-Wconversion -Wsign-conversion>)

set(WIDESAVE_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)
set(WIDESAVE_FAULTS_DIR ${CMAKE_CURRENT_LIST_DIR}/../tests/faults)
# The save location: module state, path building, slot names and the probe.
# The tool compiles these too, so that it names exactly the library's files.
set(WIDESAVE_PATH_SOURCES
    ${WIDESAVE_SRC}/module_state.cpp
    ${WIDESAVE_SRC}/save_path.cpp
    ${WIDESAVE_SRC}/slot_file.cpp
    ${WIDESAVE_SRC}/utf16_text.cpp)
set(WIDESAVE_CODEC_SOURCES
    ${WIDESAVE_SRC}/hex_codec.cpp
    ${WIDESAVE_SRC}/hex_kernel_avx2.cpp
    ${WIDESAVE_SRC}/hex_kernel_neon.cpp
    ${WIDESAVE_SRC}/hex_kernel_portable.cpp
    ${WIDESAVE_SRC}/hex_kernel_sse2.cpp)
set(WIDESAVE_CORE_SOURCES
    ${WIDESAVE_PATH_SOURCES}
    ${WIDESAVE_SRC}/save_directory.cpp
    ${WIDESAVE_SRC}/save_file_exist.cpp
    ${WIDESAVE_SRC}/slot_reader.cpp
    ${WIDESAVE_SRC}/slot_writer.cpp)

# Each platform's files, chosen here only.
if(WIN32)
  set(WIDESAVE_PLATFORM_SOURCES ${WIDESAVE_SRC}/platform_win32.cpp ${WIDESAVE_SRC}/dll_entry.cpp)
else()
  set(WIDESAVE_PLATFORM_SOURCES ${WIDESAVE_SRC}/platform_posix.cpp ${WIDESAVE_SRC}/utf8.cpp)
endif()
list(APPEND WIDESAVE_PLATFORM_SOURCES ${WIDESAVE_SRC}/platform_heap.cpp)

# widesave.def is the one list of exports. The version script and the test
# build's lists are made from it.
function(widesave_export_lists name out_def out_map)
  file(STRINGS ${WIDESAVE_SRC}/widesave.def def_lines REGEX "@[0-9]+")
  set(names "")
  foreach(line IN LISTS def_lines)
    string(REGEX REPLACE "^[ \t]*([A-Za-z_0-9]+).*" "\\1" export_name "${line}")
    list(APPEND names ${export_name})
  endforeach()
  if(name STREQUAL "widesave_faults")
    file(STRINGS ${WIDESAVE_FAULTS_DIR}/fault_exports.txt extra)
    list(APPEND names ${extra})
  endif()
  if(name STREQUAL "widesave")
    # For the tests' host loader: one WIDESAVE_EXPORT(name) a line.
    set(inc "")
    foreach(export_name IN LISTS names)
      string(APPEND inc "WIDESAVE_EXPORT(${export_name})\n")
    endforeach()
    file(WRITE ${CMAKE_BINARY_DIR}/generated/widesave_exports.inc.in "${inc}")
    configure_file(${CMAKE_BINARY_DIR}/generated/widesave_exports.inc.in
                   ${CMAKE_BINARY_DIR}/generated/widesave_exports.inc COPYONLY)
  endif()
  set(def "LIBRARY ${name}.dll\nEXPORTS\n")
  set(map "{\n  global:\n")
  set(ordinal 1)
  foreach(export_name IN LISTS names)
    string(APPEND def "    ${export_name} @${ordinal}\n")
    string(APPEND map "    ${export_name};\n")
    math(EXPR ordinal "${ordinal} + 1")
  endforeach()
  string(APPEND map "  local:\n    *;\n};\n")
  set(dir ${CMAKE_BINARY_DIR}/generated/${name})
  file(WRITE ${dir}/${name}.def.in "${def}")
  file(WRITE ${dir}/${name}.map.in "${map}")
  configure_file(${dir}/${name}.def.in ${dir}/${name}.def COPYONLY)
  configure_file(${dir}/${name}.map.in ${dir}/${name}.map COPYONLY)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${WIDESAVE_SRC}/widesave.def ${WIDESAVE_FAULTS_DIR}/fault_exports.txt)
  set(${out_def} ${dir}/${name}.def PARENT_SCOPE)
  set(${out_map} ${dir}/${name}.map PARENT_SCOPE)
endfunction()

function(widesave_add_library name)
  cmake_parse_arguments(ARG "FAULT_INJECTION" "" "" ${ARGN})
  set(sources ${WIDESAVE_CORE_SOURCES} ${WIDESAVE_PLATFORM_SOURCES})
  if(ARG_FAULT_INJECTION)
    list(APPEND sources ${WIDESAVE_FAULTS_DIR}/fault_control.cpp)
  else()
    list(APPEND sources ${WIDESAVE_SRC}/system_call_hooks.cpp)
  endif()
  widesave_export_lists(${name} def_file map_file)

  add_library(${name} SHARED ${sources} $<TARGET_OBJECTS:widesave_codec>)
  target_link_libraries(${name} PRIVATE widesave_options)
  target_include_directories(${name} PUBLIC
      $<BUILD_INTERFACE:${WIDESAVE_SRC}/../include> $<INSTALL_INTERFACE:include>
      PRIVATE ${WIDESAVE_SRC} ${WIDESAVE_FAULTS_DIR})
  target_compile_definitions(${name} PRIVATE WIDESAVE_BUILDING)
  target_compile_options(${name} PRIVATE -fno-exceptions -fno-rtti)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})

  if(WIN32)
    # Exactly the listed exports, by ordinal; no MinGW start-up code, so the
    # entry point is ours alone; the runtime is linked in statically.
    target_sources(${name} PRIVATE ${def_file} ${WIDESAVE_SRC}/widesave.rc)
    target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/generated)
    # The entry symbol as the architecture decorates it.
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      set(entry _widesave_dll_entry@12)
    else()
      set(entry widesave_dll_entry)
    endif()
    target_link_options(${name} PRIVATE
        -nostartfiles -Wl,--entry=${entry}
        -Wl,--no-undefined -Wl,--enable-stdcall-fixup)
  else()
    set_target_properties(${name} PROPERTIES
        PREFIX "lib"
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${map_file})
    target_link_options(${name} PRIVATE
        -Wl,--version-script=${map_file} -Wl,--no-undefined -Wl,--as-needed)
  endif()
endfunction()

# The codec, compiled once for the libraries and for the programs that
# call it directly (its test, the benchmark); and the save location with the
# platform layer, for the tool (and the benchmark's floors).
function(widesave_add_internals)
  add_library(widesave_codec OBJECT ${WIDESAVE_CODEC_SOURCES})
  set_target_properties(widesave_codec PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_include_directories(widesave_codec PUBLIC ${WIDESAVE_SRC} ${WIDESAVE_SRC}/../include)
  target_link_libraries(widesave_codec PRIVATE widesave_options)
  target_compile_options(widesave_codec PRIVATE -fno-exceptions -fno-rtti)

  set(platform ${WIDESAVE_PLATFORM_SOURCES})
  list(FILTER platform EXCLUDE REGEX dll_entry)
  add_library(widesave_paths STATIC ${WIDESAVE_PATH_SOURCES} ${platform}
              ${WIDESAVE_SRC}/system_call_hooks.cpp)
  target_include_directories(widesave_paths PUBLIC ${WIDESAVE_SRC} ${WIDESAVE_SRC}/../include)
  target_link_libraries(widesave_paths PRIVATE widesave_options)
endfunction()
