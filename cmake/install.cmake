# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

# Installation of the shared libraries (the log library and the witness component) and their
# public headers, each with a relocatable CMake package (quorvantile_log::quorvantile_log,
# quorvantile_witness::quorvantile_witness) and a pkg-config file, and a Debian package pair
# built by CPack that carries both. Only the libraries and the headers are installed: the static
# archives, tests, benchmarks and the demo stay in the build tree. The libraries keep their static
# symbol tables (never install with --strip): binding generators look the interface description
# objects up there.
include(CMakePackageConfigHelpers)

set(QV_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# The .pc files locate their prefix from their own directory, so any install prefix works.
file(RELATIVE_PATH QV_PC_PREFIX_FROM_PCDIR /${QV_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" QV_PC_PREFIX_FROM_PCDIR "${QV_PC_PREFIX_FROM_PCDIR}")

# qv_install_component(<target> <description> <headers>...): the shared object (runtime), its
# headers, the CMake package <target>::<target> and <target>.pc (development).
function(qv_install_component target description)
  set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${target})
  install(TARGETS ${target} EXPORT ${target}_targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
  install(FILES ${ARGN} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)

  install(EXPORT ${target}_targets NAMESPACE ${target}:: FILE ${target}-targets.cmake
    DESTINATION ${package_dir} COMPONENT development)
  set(QV_COMPONENT ${target})
  set(QV_COMPONENT_DESCRIPTION "${description}")
  configure_package_config_file(${QV_CMAKE_TEMPLATES}/component-config.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/${target}-config.cmake INSTALL_DESTINATION ${package_dir})
  # Before 1.0 a new minor version may change the interface, so only 0.1.x satisfies a 0.1 request.
  write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/${target}-config-version.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${target}-config.cmake
                ${CMAKE_CURRENT_BINARY_DIR}/${target}-config-version.cmake
    DESTINATION ${package_dir} COMPONENT development)

  configure_file(${QV_CMAKE_TEMPLATES}/component.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${target}.pc DESTINATION ${QV_PKGCONFIG_DIR} COMPONENT development)
endfunction()

set(QV_CMAKE_TEMPLATES ${CMAKE_CURRENT_LIST_DIR})
qv_install_component(quorvantile_log "Verification library for transparency logs and verifiable key directories"
  ${QV_PUBLIC_HEADERS})
qv_install_component(quorvantile_witness
  "Witness cosignatures, witness quorum policies and offline proof bundles for transparency logs"
  ${QV_WITNESS_PUBLIC_HEADERS})

# `make package`: quorvantile-log (the shared objects) and quorvantile-log-dev (headers, links,
# CMake packages, .pc files), installed under /usr.
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
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "Verification library for transparency logs and key directories, and its witness component (shared objects)")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Verification library for transparency logs and key directories, and its witness component (C headers, CMake packages, pkg-config files)")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
