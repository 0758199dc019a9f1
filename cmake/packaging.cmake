# What `cmake --install` puts where, and the packages CPack makes from it: a
# .deb for each Linux target, a .zip for each Windows one.
#
# Hosts load the library rather than link it (one export is named close), so
# the CMake package and the pkg-config file carry the include folder and the
# installed library's path for the loader (the CMake target as the definition
# KELHASHTABLEFUN_LIBRARY_PATH, pkg-config as the variable "library").
include(CMakePackageConfigHelpers)

install(TARGETS kelHashTableFun
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(WIN32)
  install(FILES api/kelHashTableFun.def DESTINATION ${CMAKE_INSTALL_LIBDIR})
  set(kel_installed_library ${CMAKE_INSTALL_BINDIR}/kelHashTableFun.dll)
else()
  set(kel_installed_library ${CMAKE_INSTALL_LIBDIR}/libkelHashTableFun.so.${PROJECT_VERSION_MAJOR})
endif()
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})

# find_package(kelHashTableFun CONFIG): the target kelHashTableFun::kelHashTableFun.
set(kel_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kelHashTableFun)
configure_package_config_file(cmake/kelHashTableFunConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kelHashTableFunConfig.cmake INSTALL_DESTINATION ${kel_cmake_dir}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR kel_installed_library)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelHashTableFunConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelHashTableFunConfig.cmake
  ${PROJECT_BINARY_DIR}/kelHashTableFunConfigVersion.cmake DESTINATION ${kel_cmake_dir})

# pkg-config, with paths relative to the .pc file so the tree can move.
set(kel_pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH kel_prefix_from_pkgconfig ${CMAKE_INSTALL_PREFIX}/${kel_pkgconfig_dir}
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" kel_prefix_from_pkgconfig ${kel_prefix_from_pkgconfig})
set(kel_pkgconfig_libs ${CMAKE_DL_LIBS})
list(TRANSFORM kel_pkgconfig_libs PREPEND -l)
configure_file(cmake/kelHashTableFun.pc.in ${PROJECT_BINARY_DIR}/kelHashTableFun.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kelHashTableFun.pc DESTINATION ${kel_pkgconfig_dir})

# Packages named after the target: kelHashTableFun-VERSION-linux-x86_64.deb,
# -linux-i686.deb, -windows-x86.zip, -windows-x64.zip.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(kel_package_target windows-x86)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kel_package_target windows-x64)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(kel_package_target linux-i686)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE i386)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kel_package_target linux-x86_64)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  endif()
endif()
set(CPACK_PACKAGE_NAME kelHashTableFun)
set(CPACK_PACKAGE_VENDOR kelHashTableFun)
set(CPACK_PACKAGE_FILE_NAME kelHashTableFun-${PROJECT_VERSION}-${kel_package_target})
set(CPACK_PACKAGE_INSTALL_DIRECTORY kelHashTableFun-${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_NAME kelhashtablefun)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "kelHashTableFun developers")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1, libstdc++6")
include(CPack)
