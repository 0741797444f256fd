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
#                                    QEMU and debootstrap (the 32-bit Windows programs'
#                                    virtual machine, scripts/win32-vm.sh),
#                                    Chromium (scripts/browser-tests.sh), and
#                                    clang with its libFuzzer runtime (scripts/fuzz.sh);
#                                    then what linux32 needs, which may fail without
#                                    stopping the rest (it says so loudly)
#   scripts/install-deps.sh resources  what resources/make-resources.sh draws with
#   scripts/install-deps.sh fuzz       clang and its sanitizer and fuzzer runtimes
#   scripts/install-deps.sh linux32    the linux32 preset's: the i686 cross compiler, qemu-i386,
#                                      and Debian's zlib, openssl, libdeflate, xz-utils and libzstd
#                                      sources, which its build builds
#   scripts/install-deps.sh check GROUP  only says (by the exit status) whether GROUP is
#                                      installed; nothing is fetched
set -euo pipefail

native=(cmake ninja-build g++ googletest libbenchmark-dev zlib1g-dev libdeflate-dev liblzma-dev libzstd-dev libssl-dev nodejs node-acorn gzip brotli
        scdoc dpkg-dev fakeroot file lintian man-db bash-completion zsh fish parallel)
windows=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine wine64 fonts-wine xvfb xauth imagemagick fp-utils nsis
         qemu-system-x86 debootstrap)
browser=(chromium)
fuzz=(clang libclang-rt-14-dev)
# The cross compiler brings its own C and C++ libraries, the programs are
# linked statically and run by qemu-i386, and the libraries they link are
# built from source: nothing of the i386 architecture, whose package index
# may lag behind the system's own (multiarch packages must be of one version
# in both).
linux32=(dpkg-dev crossbuild-essential-i386 libc6-dev-i386-cross qemu-user)
linux32_sources=(zlib openssl libdeflate xz-utils libzstd)

resources=(python3-pil imagemagick fonts-dejavu-core fonts-dejavu-extra)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
here=$(cd "$(dirname "$0")" && pwd)
src=${VEXEL_SOURCE_DIR:-/usr/src}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# The packages of the list that are not installed, one a line.
missing_packages() {
    local pkg
    for pkg; do
        installed "$pkg" || echo "$pkg"
    done
    # npm comes with some builds of nodejs and is a package of its own in Debian's.
    if [[ " $* " == *" nodejs "* ]] && ! command -v npm >/dev/null 2>&1; then
        echo npm
    fi
}

# The source packages of the list not yet unpacked under $src, one a line.
missing_sources() {
    local name
    for name; do
        compgen -G "$src/$name-[0-9]*/" >/dev/null || echo "$name"
    done
}

# Installs the missing packages of the list; false when apt cannot. A failed
# download (a mirror caught mid-sync) is tried again with fresh indexes; any
# other failure (unmet dependencies, say) would fail the same way again.
install_packages() {
    local missing try log status
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    "$here/apt-update.sh"
    log=$(mktemp)
    for try in 1 2 3; do
        status=0
        # --no-remove: nothing of the system is removed to make room.
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q -o Acquire::Retries=5 \
            --no-install-recommends --no-remove "${missing[@]}" 2>&1 | tee "$log" || status=$?
        [ "$status" -eq 0 ] && break
        grep -qE '^E: (Failed|Unable) to fetch' "$log" && [ "$try" -lt 3 ] || break
        sleep 20
        "$here/apt-update.sh" --again
    done
    rm -f "$log"
    return "$status"
}

# Debian's source packages the builds build themselves, unpacked under $src
# (as googletest's sources are): apt's deb-src lines are added for the same
# archives as its deb lines when there are none. False when apt cannot.
install_sources() {
    local wanting
    mapfile -t wanting < <(missing_sources "$@")
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
    # One package at a time, so that one that cannot be fetched does not keep
    # the others out. An update suite's index may name a version its pool does
    # not hold yet (404): the release's own version serves the builds as well.
    local name release status=0
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    for name in "${wanting[@]}"; do
        (cd "$src" && "${sudo[@]}" apt-get source -q -o Acquire::Retries=5 "$name") && continue
        if [ -n "$release" ] &&
            (cd "$src" && "${sudo[@]}" apt-get source -q -o Acquire::Retries=5 "$name/$release"); then
            echo "NOTE: the source of $name was taken from $release itself: its update could not be fetched." >&2
            continue
        fi
        echo "The source package $name could not be fetched." >&2
        status=1
    done
    return "$status"
}

# The linux32 lane on a machine where it cannot be set up: said where nobody
# can miss it, and the rest goes on.
linux32_skipped() {
    {
        echo
        echo "=========================================================================="
        echo "WARNING: the linux32 lane could not be set up ($1)."
        echo "Its build and tests will be SKIPPED; everything else goes on."
        echo "Try again later with: scripts/install-deps.sh linux32"
        echo "=========================================================================="
        echo
    } >&2
}

case "${1:-native}" in
    native)
        install_packages "${native[@]}" ;;
    all)
        install_packages "${native[@]}" "${windows[@]}" "${browser[@]}" "${fuzz[@]}"
        # The Windows builds need these three; linux32 all five.
        install_sources libdeflate xz-utils libzstd
        if ! install_packages "${linux32[@]}"; then
            linux32_skipped "its packages could not be installed"
        elif ! install_sources "${linux32_sources[@]}"; then
            linux32_skipped "the sources of its libraries could not be fetched"
        fi ;;
    resources)
        install_packages "${resources[@]}" ;;
    fuzz)
        install_packages "${fuzz[@]}" ;;
    linux32)
        install_packages "${linux32[@]}"
        install_sources "${linux32_sources[@]}" ;;
    check)
        case "${2:-}" in
            linux32)
                [ -z "$(missing_packages "${linux32[@]}")" ] && [ -z "$(missing_sources "${linux32_sources[@]}")" ] ;;
            *) echo "usage: $0 check linux32" >&2; exit 2 ;;
        esac ;;
    *) echo "usage: $0 [native|all|resources|fuzz|linux32|check linux32]" >&2; exit 2 ;;
esac
