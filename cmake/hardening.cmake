# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
#
# Hardening of optimised builds, the flags Debian gives every package: stack protector, fortified
# libc calls, stack-clash probes, control-flow protection on x86-64, and full RELRO with immediate
# binding. Applied to everything the build compiles and links (the shared libraries take whole
# archives, so those must be hardened too). Left out where it cannot apply: _FORTIFY_SOURCE needs
# optimisation (a Debug build would warn, and warnings are errors), and sanitizer builds (the asan,
# tsan and fuzz presets) replace the libc calls that fortification wraps.
option(QV_HARDEN "Build optimised, unsanitized configurations with hardening flags" ON)

set(QV_HARDENED OFF)
if(QV_HARDEN AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   AND NOT "${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}" MATCHES "-fsanitize")
  set(QV_HARDENED ON)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    add_compile_options(-fcf-protection)
  endif()
  add_link_options(LINKER:-z,relro,-z,now)
endif()
message(STATUS "Hardening flags: ${QV_HARDENED}")
