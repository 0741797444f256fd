#!/usr/bin/env bash
# Installs the Debian packages a build needs, when any is missing.
#   scripts/install-deps.sh native   compiler, CMake, GoogleTest, Node.js
#   scripts/install-deps.sh all      the above plus MinGW-w64, Wine, Xvfb, the CHM compiler
#                                    (fp-utils: chmcmd, for help.chm), and
#                                    clang with its libFuzzer runtime (scripts/fuzz.sh)
#   scripts/install-deps.sh resources  what resources/make-resources.sh draws with
#   scripts/install-deps.sh fuzz       clang and its sanitizer and fuzzer runtimes
set -euo pipefail

native=(cmake ninja-build g++ googletest libbenchmark-dev nodejs gzip)
windows=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 xvfb xauth imagemagick fp-utils)
fuzz=(clang libclang-rt-14-dev)

resources=(python3-pil imagemagick fonts-dejavu-core fonts-dejavu-extra)

case "${1:-native}" in
    native) wanted=("${native[@]}") ;;
    all) wanted=("${native[@]}" "${windows[@]}" "${fuzz[@]}") ;;
    resources) wanted=("${resources[@]}") ;;
    fuzz) wanted=("${fuzz[@]}") ;;
    *) echo "usage: $0 [native|all|resources|fuzz]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
