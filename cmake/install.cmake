# Installation of the shared library and its public headers, with a relocatable CMake package
# (quorvantile_log::quorvantile_log), a pkg-config file and a Debian package pair built by CPack.
# Only the library and the headers are installed: the static archives, tests, benchmarks and the
# demo stay in the build tree. The library keeps its static symbol table (never install with
# --strip): binding generators look the interface description objects up there.
include(CMakePackageConfigHelpers)

set(QV_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/quorvantile_log)
set(QV_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS quorvantile_log EXPORT quorvantile_log_targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(FILES ${QV_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)

install(EXPORT quorvantile_log_targets NAMESPACE quorvantile_log:: FILE quorvantile_log-targets.cmake
  DESTINATION ${QV_CMAKE_PACKAGE_DIR} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/quorvantile_log-config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/quorvantile_log-config.cmake INSTALL_DESTINATION ${QV_CMAKE_PACKAGE_DIR})
# Before 1.0 a new minor version may change the interface, so only 0.1.x satisfies a 0.1 request.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/quorvantile_log-config-version.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvantile_log-config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/quorvantile_log-config-version.cmake
  DESTINATION ${QV_CMAKE_PACKAGE_DIR} COMPONENT development)

# The .pc file locates its prefix from its own directory, so any install prefix works.
file(RELATIVE_PATH QV_PC_PREFIX_FROM_PCDIR /${QV_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" QV_PC_PREFIX_FROM_PCDIR "${QV_PC_PREFIX_FROM_PCDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvantile_log.pc.in ${CMAKE_CURRENT_BINARY_DIR}/quorvantile_log.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvantile_log.pc DESTINATION ${QV_PKGCONFIG_DIR} COMPONENT development)

# `make package`: quorvantile-log (the shared object) and quorvantile-log-dev (headers, link,
# CMake package, .pc), installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvantile-log)
set(CPACK_PACKAGE_VENDOR "quorvantile_log developers")
set(CPACK_PACKAGE_CONTACT "quorvantile_log developers <quorvantile-log@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Verification library for transparency logs and key directories")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES OFF)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME quorvantile-log)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME quorvantile-log-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "quorvantile-log (= ${PROJECT_VERSION}), libssl-dev (>= 3.0)")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "Verification library for transparency logs and key directories (shared object)")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Verification library for transparency logs and key directories (C header, CMake package, pkg-config file)")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
