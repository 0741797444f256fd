# zlib and OpenSSL's libcrypto for every target: the system's where it has
# them (Debian's -dev packages, MinGW's zlib), else built here from Debian's
# source packages, which scripts/install-deps.sh unpacks under /usr/src (as
# the linux32 build does: its cross compiler comes without them, and the
# i386 packages of a multiarch system must be of the very version of the
# system's own, which a lagging i386 index cannot always offer).

# Debian's source package `package` (unpacked under /usr/src, newest version
# first) in the cache entry `variable`, for the builds whose system lacks the
# library. Versions may carry a repack suffix (zlib-1.2.13.dfsg).
function(vexel_debian_source variable package)
    file(GLOB found LIST_DIRECTORIES true /usr/src/${package}-*)
    list(FILTER found INCLUDE REGEX "/${package}-[0-9][0-9a-z.+~]*$")
    list(SORT found COMPARE NATURAL)
    set(newest "")
    if(found)
        list(GET found -1 newest)
    endif()
    set(${variable} "${newest}" CACHE PATH "Debian's ${package} source, built where the system has no ${package}")
endfunction()

if(WIN32)
    # The Windows programs link statically: zlib's archive, not its DLL.
    set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB)
if(NOT TARGET ZLIB::ZLIB)
    vexel_debian_source(VEXEL_ZLIB_SOURCE zlib)
    if(NOT EXISTS "${VEXEL_ZLIB_SOURCE}/zlib.h")
        message(FATAL_ERROR "zlib not found: install zlib1g-dev, or Debian's zlib source "
                            "for a cross build (scripts/install-deps.sh linux32)")
    endif()
    enable_language(C)
    # The library's own units, all in the top folder (its examples and tests
    # live in folders of their own).
    file(GLOB zlib_sources ${VEXEL_ZLIB_SOURCE}/*.c)
    add_library(vexel_zlib STATIC ${zlib_sources})
    target_include_directories(vexel_zlib SYSTEM PUBLIC ${VEXEL_ZLIB_SOURCE})
    target_compile_definitions(vexel_zlib PRIVATE HAVE_UNISTD_H HAVE_STDARG_H)
    set_target_properties(vexel_zlib PROPERTIES C_STANDARD 99 POSITION_INDEPENDENT_CODE ON)
    target_compile_options(vexel_zlib PRIVATE -O2 -w)
    add_library(ZLIB::ZLIB ALIAS vexel_zlib)
    message(STATUS "zlib built from ${VEXEL_ZLIB_SOURCE}")
endif()

# libcrypto: the page cryptography of the POSIX builds (Windows has CNG).
if(WIN32)
    return()
endif()
find_package(OpenSSL COMPONENTS Crypto)
if(TARGET OpenSSL::Crypto)
    return()
endif()
vexel_debian_source(VEXEL_OPENSSL_SOURCE openssl)
if(NOT EXISTS "${VEXEL_OPENSSL_SOURCE}/Configure")
    message(FATAL_ERROR "OpenSSL's libcrypto not found: install libssl-dev, or Debian's openssl "
                        "source for a cross build (scripts/install-deps.sh linux32)")
endif()
enable_language(C)
find_program(VEXEL_PERL perl REQUIRED)
find_program(VEXEL_MAKE NAMES make gmake REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
    set(openssl_target linux-x86)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
    set(openssl_target linux-x86_64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(openssl_target linux-generic64)
else()
    set(openssl_target linux-generic32)
endif()
set(openssl_cc ${CMAKE_C_COMPILER})
if(CMAKE_C_COMPILER_LAUNCHER)
    list(JOIN CMAKE_C_COMPILER_LAUNCHER " " launcher)
    set(openssl_cc "${launcher} ${CMAKE_C_COMPILER}")
endif()
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
set(openssl_build ${CMAKE_BINARY_DIR}/openssl)
# The static libcrypto alone, with what the pages need (AES-GCM, SHA-256,
# PBKDF2, the random generator) and without the algorithms, protocols and
# loadable parts nothing here uses (584 units of the full library's 899).
# The configuration file it reads at start-up is looked for in the build
# folder, where there is none, not in the system's.
set(openssl_trim
    no-shared no-module no-dso no-engine no-async no-sock no-tests no-ui-console no-legacy
    no-deprecated no-aria no-bf no-blake2 no-camellia no-cast no-chacha no-cms no-comp no-ct
    no-des no-dh no-dsa no-ec no-idea no-md4 no-mdc2 no-ocb no-ocsp no-poly1305 no-rc2 no-rc4
    no-rmd160 no-scrypt no-seed no-siphash no-siv no-sm2 no-sm3 no-sm4 no-srp no-srtp no-ts
    no-whirlpool no-ssl3 no-tls no-dtls no-cmp no-rfc3779 no-multiblock no-psk no-gost)
include(ExternalProject)
ExternalProject_Add(vexel_openssl_build
    SOURCE_DIR ${VEXEL_OPENSSL_SOURCE}
    BINARY_DIR ${openssl_build}
    CONFIGURE_COMMAND ${VEXEL_PERL} ${VEXEL_OPENSSL_SOURCE}/Configure ${openssl_target} ${openssl_trim}
                      --openssldir=${openssl_build}/ssl
                      "CC=${openssl_cc}" "AR=${CMAKE_AR}" "RANLIB=${CMAKE_RANLIB}"
    BUILD_COMMAND ${VEXEL_MAKE} -j${cores} build_generated
          COMMAND ${VEXEL_MAKE} -j${cores} libcrypto.a
    BUILD_BYPRODUCTS ${openssl_build}/libcrypto.a
    INSTALL_COMMAND ""
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
add_library(vexel_openssl_crypto INTERFACE)
target_include_directories(vexel_openssl_crypto SYSTEM INTERFACE
    ${openssl_build}/include ${VEXEL_OPENSSL_SOURCE}/include)
find_package(Threads REQUIRED)
target_link_libraries(vexel_openssl_crypto INTERFACE ${openssl_build}/libcrypto.a Threads::Threads)
add_dependencies(vexel_openssl_crypto vexel_openssl_build)
add_library(OpenSSL::Crypto ALIAS vexel_openssl_crypto)
message(STATUS "libcrypto built from ${VEXEL_OPENSSL_SOURCE} (${openssl_target})")
