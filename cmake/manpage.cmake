# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
#
# The command line's man page, quorvantile-log(1), written by help2man from the parser's own
# --help and --version (the command line answers both without loading the libraries), and
# installed by `cmake --install` (component cli, outside the library packages).
find_program(QV_HELP2MAN help2man)
set(QV_PYTHON /usr/bin/python3 CACHE FILEPATH "Python interpreter for the bindings generator and the Python tests")
if(QV_HELP2MAN)
  set(QV_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
  # help2man runs one program by name: a wrapper that runs the package from the source tree.
  file(CONFIGURE OUTPUT ${QV_MAN_DIR}/quorvantile-log CONTENT
    "#!/bin/sh\nPYTHONPATH='${CMAKE_SOURCE_DIR}/python' PYTHONDONTWRITEBYTECODE=1 exec '${QV_PYTHON}' -m quorvantile_log \"$@\"\n")
  file(CHMOD ${QV_MAN_DIR}/quorvantile-log PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  add_custom_command(OUTPUT ${QV_MAN_DIR}/quorvantile-log.1
    COMMAND ${QV_HELP2MAN} --no-info --section 1 --output ${QV_MAN_DIR}/quorvantile-log.1
            --name "verify transparency-log checkpoints, proofs, witness cosignatures and signed policies"
            ${QV_MAN_DIR}/quorvantile-log
    DEPENDS ${CMAKE_SOURCE_DIR}/python/quorvantile_log/cli.py ${CMAKE_SOURCE_DIR}/python/quorvantile_log/__init__.py
    VERBATIM)
  add_custom_target(qv_manpage ALL DEPENDS ${QV_MAN_DIR}/quorvantile-log.1)
  install(FILES ${QV_MAN_DIR}/quorvantile-log.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)
else()
  message(STATUS "help2man not found: no man page for the command line (apt-get install help2man)")
endif()
