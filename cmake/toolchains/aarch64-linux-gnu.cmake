# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
#
# Cross build for 64-bit ARM Linux on a Debian-style multiarch host: the cross compiler of
# g++-aarch64-linux-gnu, the arm64 -dev packages installed side by side with the host's
# (/usr/lib/aarch64-linux-gnu, /usr/include/aarch64-linux-gnu), and qemu's user-mode emulator to
# run the built programs (test discovery, ctest) with the cross toolchain's C and C++ runtime.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(QV_CROSS_TRIPLET aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${QV_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QV_CROSS_TRIPLET}-g++)
# Libraries and package files come from the multiarch directories of this triplet only.
set(CMAKE_LIBRARY_ARCHITECTURE ${QV_CROSS_TRIPLET})

# pkg-config (FindOpenSSL and others take its answers as hints) must read the arm64 .pc files,
# never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${QV_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The cross toolchain's runtime (loader, libc, libstdc++) lives under /usr/<triplet>; libraries
# missing there (libcrypto) fall through to the multiarch directories. The loader must take libc
# from its own directory: the host's loader cache also lists the multiarch libc6:arm64, a
# different build of glibc, and a process whose loader and libc come from two builds hangs in its
# first pthread_create. LD_LIBRARY_PATH puts the toolchain's directory ahead of that cache.
set(QV_AARCH64_RUNTIME /usr/${QV_CROSS_TRIPLET})
find_program(QV_QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QV_QEMU_AARCH64} -L ${QV_AARCH64_RUNTIME}
    -E LD_LIBRARY_PATH=${QV_AARCH64_RUNTIME}/lib)
