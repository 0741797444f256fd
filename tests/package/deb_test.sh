#!/usr/bin/env bash
# The Debian package of the command line: built by CPack from the native
# build, checked by lintian, installed with dpkg, run (its version, the
# examples compressed as the build's own vexel compresses them, the man page
# and completions in place) and removed again. The system is left as it was:
# the test refuses to run when a package named vexel is installed already.
#   tests/package/deb_test.sh [BUILD_DIR]      (default build/native; as root)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=${1:-build/native}
[[ $build == /* ]] || build=$root/$build

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo -n)
if dpkg-query -W -f='${Status}' vexel 2>/dev/null | grep -q 'installed'; then
    echo "deb_test: a package named vexel is installed already; not touching it" >&2
    exit 1
fi
version=$(sed -n 's/^#define VEXEL_VERSION "\(.*\)"$/\1/p' "$build/generated/vexel_version.h")
[ -n "$version" ] || { echo "deb_test: no version in $build/generated/vexel_version.h" >&2; exit 1; }

work=$(mktemp -d)
installed=0
cleanup() {
    if [ "$installed" -eq 1 ]; then
        "${sudo[@]}" dpkg --purge vexel >/dev/null 2>&1 || echo "deb_test: could not remove the package" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target vexel man_page package_changelog >/dev/null
(cd "$build" && cpack -G DEB -B "$work/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$work/packages" >/dev/null)
deb=$work/packages/vexel_${version}_amd64.deb
[ -f "$deb" ] || { echo "deb_test: no $deb" >&2; ls "$work/packages" >&2; exit 1; }

# Dependencies as the package tools computed them from what vexel links.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libssl3 zlib1g; do
    [[ $depends == *"$library "* ]] || { echo "deb_test: Depends lacks $library: $depends" >&2; exit 1; }
done

# Errors fail, and so do the information tags of a program built without
# Debian's hardening flags or left with the compiler's notes.
lintian --fail-on error --display-info "$deb" >"$work/lintian.txt" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.txt" || true
[ "${lintian_status:-0}" -eq 0 ] || { echo "deb_test: lintian reports errors" >&2; exit 1; }
if grep -E 'hardening-no-|binary-has-unneeded-section' "$work/lintian.txt" >/dev/null; then
    echo "deb_test: the program is not built or stripped as Debian's are" >&2
    exit 1
fi

# Set first: a dpkg -i that fails half-way still leaves a package to purge.
installed=1
"${sudo[@]}" dpkg -i "$deb" >/dev/null
[ "$(/usr/bin/vexel --version)" = "vexel $version" ] || { echo "deb_test: /usr/bin/vexel --version" >&2; exit 1; }
for file in /usr/share/man/man1/vexel.1.gz /usr/share/bash-completion/completions/vexel \
    /usr/share/zsh/vendor-completions/_vexel /usr/share/fish/vendor_completions.d/vexel.fish \
    /usr/share/doc/vexel/copyright /usr/share/doc/vexel/README.md; do
    [ -f "$file" ] || { echo "deb_test: $file is not installed" >&2; exit 1; }
done
man -l /usr/share/man/man1/vexel.1.gz 2>/dev/null | grep -q -- '--files0-from' ||
    { echo "deb_test: the installed man page lacks --files0-from" >&2; exit 1; }

# The installed program compresses the examples as the build's own does.
cp -r examples "$work/installed"
cp -r examples "$work/built"
(cd "$work/installed" && /usr/bin/vexel compress --quiet --recursive . 2>/dev/null) || status=$?
(cd "$work/built" && "$build/cli/vexel" compress --quiet --recursive . 2>/dev/null) || true
[ "${status:-0}" -eq 0 ] || { echo "deb_test: the installed vexel failed on the examples ($status)" >&2; exit 1; }
diff -r "$work/installed" "$work/built" >/dev/null ||
    { echo "deb_test: the installed vexel wrote other pages than the built one" >&2; exit 1; }
ls "$work/installed"/*_backup >/dev/null || { echo "deb_test: no backups written" >&2; exit 1; }

"${sudo[@]}" dpkg --purge vexel >/dev/null
installed=0
if [ -e /usr/bin/vexel ] || dpkg-query -W -f='${Status}' vexel 2>/dev/null | grep -q 'installed'; then
    echo "deb_test: vexel is still installed after dpkg --purge" >&2
    exit 1
fi
echo "deb_test: vexel_${version}_amd64.deb built, lintian-clean, installed, run and removed"
