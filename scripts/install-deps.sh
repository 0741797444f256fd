#!/usr/bin/env bash
# Installs the Debian packages a build needs, when any is missing.
#   scripts/install-deps.sh native   compiler, CMake, GoogleTest, zlib, libdeflate, liblzma,
#                                    libzstd (the trainer of a site's dictionary), OpenSSL,
#                                    Node.js and npm, acorn (the ES5 check of the pages'
#                                    scripts), brotli (for the benchmark), the
#                                    man page and Debian package tools (scdoc, dpkg-dev,
#                                    lintian), the shells the completions are tested in,
#                                    GNU parallel
#   scripts/install-deps.sh all      the above plus MinGW-w64 with its zlib and Debian's
#                                    libdeflate, xz-utils (liblzma) and libzstd sources (built by the builds without
#                                    the system's libraries: MinGW, linux32), Wine (and the
#                                    symbol font it draws caption buttons with), Xvfb,
#                                    the CHM compiler (fp-utils: chmcmd, for help.chm),
#                                    NSIS (makensis, for the Windows installer),
#                                    Chromium (scripts/browser-tests.sh), and
#                                    clang with its libFuzzer runtime (scripts/fuzz.sh),
#                                    and the linux32 preset's i686 cross compiler with the
#                                    i386 zlib and libcrypto, run by qemu-i386
#   scripts/install-deps.sh resources  what resources/make-resources.sh draws with
#   scripts/install-deps.sh fuzz       clang and its sanitizer and fuzzer runtimes
#   scripts/install-deps.sh linux32    the linux32 preset's (adds the i386 architecture)
set -euo pipefail

native=(cmake ninja-build g++ googletest libbenchmark-dev zlib1g-dev libdeflate-dev liblzma-dev libzstd-dev libssl-dev nodejs node-acorn gzip brotli
        scdoc dpkg-dev fakeroot file lintian man-db bash-completion zsh fish parallel)
windows=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine wine64 fonts-wine xvfb xauth imagemagick fp-utils nsis)
browser=(chromium)
fuzz=(clang libclang-rt-14-dev)
# The cross compiler links against its own C library; zlib and libcrypto
# come as the i386 builds of the system's packages (multiarch), and the
# programs run under qemu-i386 on the system's i386 C and C++ libraries.
linux32=(dpkg-dev crossbuild-essential-i386 libc6-dev-i386-cross qemu-user zlib1g-dev:i386 libssl-dev:i386
         libc6:i386 libstdc++6:i386)

resources=(python3-pil imagemagick fonts-dejavu-core fonts-dejavu-extra)

sources=()
case "${1:-native}" in
    native) wanted=("${native[@]}") ;;
    all) wanted=("${native[@]}" "${windows[@]}" "${browser[@]}" "${fuzz[@]}" "${linux32[@]}"); sources=(libdeflate xz-utils libzstd) ;;
    resources) wanted=("${resources[@]}") ;;
    fuzz) wanted=("${fuzz[@]}") ;;
    linux32) wanted=("${linux32[@]}"); sources=(libdeflate xz-utils libzstd) ;;
    *) echo "usage: $0 [native|all|resources|fuzz|linux32]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
# npm comes with some builds of nodejs and is a package of its own in Debian's.
if [[ " ${wanted[*]} " == *" nodejs "* ]] && ! command -v npm >/dev/null 2>&1; then
    missing+=(npm)
fi
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
here=$(cd "$(dirname "$0")" && pwd)

# Debian's source packages the builds build themselves, unpacked under
# /usr/src (as googletest's sources are): apt's deb-src lines are added for
# the same archives as its deb lines when there are none.
source_packages() {
    local src=${VEXEL_SOURCE_DIR:-/usr/src} name wanting=()
    for name in "${sources[@]}"; do
        compgen -G "$src/$name-[0-9]*/" >/dev/null || wanting+=("$name")
    done
    [ ${#wanting[@]} -eq 0 ] && return 0
    if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                "${sudo[@]}" tee /etc/apt/sources.list.d/vexel-deb-src.sources >/dev/null
        else
            grep -hE '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
                "${sudo[@]}" tee /etc/apt/sources.list.d/vexel-deb-src.list >/dev/null
        fi
    fi
    # An index of another archive that fails to download must not stop this.
    "$here/apt-update.sh"
    "${sudo[@]}" mkdir -p "$src"
    (cd "$src" && "${sudo[@]}" apt-get source -q -o Acquire::Retries=5 "${wanting[@]}")
}

if [ ${#missing[@]} -eq 0 ]; then
    source_packages
    exit 0
fi

echo "Installing: ${missing[*]}"
# Packages of another architecture (NAME:i386) need it added first.
for pkg in "${missing[@]}"; do
    arch=${pkg#*:}
    if [ "$arch" != "$pkg" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        "${sudo[@]}" dpkg --add-architecture "$arch"
    fi
done
"$here/apt-update.sh"
# --no-remove: an i386 library must never make apt remove the system's own
# (both architectures must be of one version).
# A mirror caught mid-sync can fail a download; fetch the indexes again and retry.
for try in 1 2 3; do
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q -o Acquire::Retries=5 \
        --no-install-recommends --no-remove "${missing[@]}" && break
    [ "$try" -lt 3 ] || exit 1
    sleep 20
    "$here/apt-update.sh"
done
source_packages
