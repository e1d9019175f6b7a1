# cmake --install: the header, the library, the tool, a CMake package
# (find_package(widesave) and widesave::widesave), on POSIX a pkg-config
# file, and for Windows hosts the .def file and import libraries for MinGW
# and MSVC. The target widesave_package collects a Windows install with the
# calling guide into a zip.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

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
  # An import library in the COFF form MSVC's linker reads, made from the
  # .def file so that it names exactly the exports.
  find_program(WIDESAVE_DLLTOOL i686-w64-mingw32-dlltool REQUIRED)
  set(msvc_import ${CMAKE_BINARY_DIR}/widesave.lib)
  add_custom_command(OUTPUT ${msvc_import}
      COMMAND ${WIDESAVE_DLLTOOL} --input-def ${WIDESAVE_SRC}/widesave.def --dllname widesave.dll
              --machine i386 --output-lib ${msvc_import}
      DEPENDS ${WIDESAVE_SRC}/widesave.def VERBATIM)
  add_custom_target(widesave_msvc_import ALL DEPENDS ${msvc_import})
  install(FILES ${WIDESAVE_SRC}/widesave.def ${msvc_import} DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES docs/calling-widesave.txt DESTINATION .)

  set(stage ${CMAKE_BINARY_DIR}/package/widesave-${PROJECT_VERSION}-win32)
  add_custom_target(widesave_package
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
      COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${stage}
      COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
              ${CMAKE_COMMAND} -E tar cf widesave-${PROJECT_VERSION}-win32.zip --format=zip
              widesave-${PROJECT_VERSION}-win32
      DEPENDS widesave widesave_cli widesave_msvc_import
      COMMENT "Packaging widesave-${PROJECT_VERSION}-win32.zip")
else()
  configure_file(cmake/widesave.pc.in ${CMAKE_BINARY_DIR}/widesave.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/widesave.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()
