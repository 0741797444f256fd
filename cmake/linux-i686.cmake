# Cross-build for 32-bit Linux with Debian's i686 cross compiler
# (crossbuild-essential-i386), against the i386 libraries of a multiarch
# system (zlib1g-dev:i386, libssl-dev:i386). The programs run under
# qemu-i386, so that the portable code is tested with 32-bit sizes.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# The programs run on the system's own i386 libraries (libc6:i386,
# libstdc++6:i386 and the rest, as multiarch packages). Not with
# `-L /usr/i686-linux-gnu`, the cross compiler's C library: under it a
# program hangs in its first pthread_create.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# pkg-config (which FindOpenSSL asks first) must name the i386 libraries.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
