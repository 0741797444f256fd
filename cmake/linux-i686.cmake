# Cross-build for 32-bit Linux with Debian's i686 cross compiler
# (crossbuild-essential-i386), against the i386 libraries of a multiarch
# system (zlib1g-dev:i386, libssl-dev:i386). The programs run under
# qemu-i386, so that the portable code is tested with 32-bit sizes.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# The cross compiler's own C and C++ libraries live in /usr/i686-linux-gnu,
# the multiarch ones (zlib, libcrypto) in /usr/lib/i386-linux-gnu: qemu
# looks in the first and then in the system's folders.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# pkg-config (which FindOpenSSL asks first) must name the i386 libraries.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
