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
# A 32-bit Wine: in the virtual machine of scripts/win32-vm.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE FILEPATH "Runs the test programs")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
