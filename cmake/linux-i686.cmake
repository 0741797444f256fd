# Cross-build for 32-bit Linux with Debian's i686 cross compiler
# (crossbuild-essential-i386), which brings its own C and C++ libraries
# under /usr/i686-linux-gnu. zlib and libcrypto are built from Debian's
# sources (cmake/libraries.cmake): nothing comes from the i386 packages of a
# multiarch system, so a lagging i386 package index cannot stop this build.
# The programs run under qemu-i386, so that the portable code is tested with
# 32-bit sizes.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)

# Libraries and headers from the cross compiler's own tree only, never the
# system's (64-bit) ones.
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} /usr/i686-linux-gnu/lib/pkgconfig)

# Linked statically, the programs need no 32-bit libraries at run time. (Run
# dynamically under `qemu-i386 -L /usr/i686-linux-gnu`, the cross C
# library's loader reads the system's /etc/ld.so.cache and mixes in the
# /lib32 C library of another build: every program hung in its first
# pthread_create.) The linker's warnings about getaddrinfo in a static
# program come from GoogleTest's streaming of results to a socket, which the
# tests never use.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
