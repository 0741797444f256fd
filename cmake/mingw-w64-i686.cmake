# Cross-build for Windows with MinGW-w64 (i686, posix thread model so that
# std::thread works).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# MinGW's GCC lets a caller rely on the registers a callee in the same unit
# leaves alone (-fipa-ra, from -O2) even when the callee is an inline
# function whose copy the linker may replace by another unit's: a copy built
# at another optimisation level then overwrites the caller's registers
# (std::mt19937 looped for ever in the test programs). Every unit goes
# without it, so units of different levels link safely.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")
