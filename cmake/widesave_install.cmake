# cmake --install: the header, the library, the tool, a CMake package
# (find_package(widesave) and widesave::widesave), on POSIX a pkg-config
# file, and for Windows hosts the .def file and import libraries for MinGW
# and MSVC. The target widesave_package collects a Windows install with the
# calling guide into a zip.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installs and packages hold stripped binaries.
install(CODE "set(CMAKE_INSTALL_DO_STRIP TRUE)")

install(TARGETS widesave widesave_cli EXPORT widesaveTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES include/widesave.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT widesaveTargets NAMESPACE widesave::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/widesave)
configure_package_config_file(cmake/widesaveConfig.cmake.in
    ${CMAKE_BINARY_DIR}/widesaveConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/widesave)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/widesaveConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/widesaveConfig.cmake ${CMAKE_BINARY_DIR}/widesaveConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/widesave)

if(WIN32)
  # An import library in the short form lib.exe makes, which MSVC's linker
  # takes with its defaults (/SAFESEH included), made from the .def file so
  # that it names exactly the exports, with no build path inside.
  find_program(WIDESAVE_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(machine i386)
    set(architecture win32)
  else()
    set(machine i386:x86-64)
    set(architecture win64)
  endif()
  set(msvc_import ${CMAKE_BINARY_DIR}/widesave.lib)
  add_custom_command(OUTPUT ${msvc_import}
      COMMAND ${WIDESAVE_LLVM_DLLTOOL} -m ${machine} -d ${WIDESAVE_SRC}/widesave.def
              -D widesave.dll -l ${msvc_import}
      DEPENDS ${WIDESAVE_SRC}/widesave.def VERBATIM)
  add_custom_target(widesave_msvc_import ALL DEPENDS ${msvc_import})
  install(FILES ${WIDESAVE_SRC}/widesave.def ${msvc_import} DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES docs/calling-widesave.txt LICENSE DESTINATION .)

  set(stage ${CMAKE_BINARY_DIR}/package/widesave-${PROJECT_VERSION}-${architecture})
  add_custom_target(widesave_package
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
      COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${stage}
      COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
              ${CMAKE_COMMAND} -E tar cf widesave-${PROJECT_VERSION}-${architecture}.zip --format=zip
              widesave-${PROJECT_VERSION}-${architecture}
      DEPENDS widesave widesave_cli widesave_msvc_import
      COMMENT "Packaging widesave-${PROJECT_VERSION}-${architecture}.zip")
else()
  # Relocatable: the prefix is found from where the file is installed, at
  # any depth of libdir (lib, lib64, lib/x86_64-linux-gnu).
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(WIDESAVE_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(WIDESAVE_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
  else()
    file(RELATIVE_PATH up "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
    set(WIDESAVE_PC_PREFIX "\${pcfiledir}/${up}")
    set(WIDESAVE_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  endif()
  configure_file(cmake/widesave.pc.in ${CMAKE_BINARY_DIR}/widesave.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/widesave.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  install(FILES docs/calling-widesave.txt LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
