# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

# Installation of the shared libraries (the log library and the witness component) and their
# public headers, each with a relocatable CMake package (quorvantile_log::quorvantile_log,
# quorvantile_witness::quorvantile_witness) and a pkg-config file (the Debian packaging is in
# debian/). Every path below the prefix comes from GNUInstallDirs, so a distribution's libdir
# (lib/<multiarch triplet> on Debian) flows into the CMake packages and the .pc files. Only the
# libraries and the headers are installed: the static archives, tests, benchmarks and the demo stay
# in the build tree. The libraries keep their static symbol tables (never install with --strip):
# binding generators look the interface description objects up there.
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
  # Before 1.0 a new minor version may change the interface, so only 0.2.x satisfies a 0.2 request.
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

# The Python package and its command, for distributions (the Debian package sets the directory to
# lib/python3/dist-packages); a plain install leaves them out.
if(QV_PYTHON_INSTALL_DIR)
  file(GLOB QV_PYTHON_MODULES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/python/quorvantile_log/*.py)
  install(FILES ${QV_PYTHON_MODULES} ${CMAKE_SOURCE_DIR}/python/quorvantile_log/py.typed
    DESTINATION ${QV_PYTHON_INSTALL_DIR}/quorvantile_log COMPONENT python)
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/python/quorvantile-log
    DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT python)
endif()
