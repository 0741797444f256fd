#!/usr/bin/env bash
# scripts/apt-update.sh against a package index that stays broken: a local
# archive whose Release file describes another Packages file than the one it
# holds (a mirror caught in mid-sync, or stale for days). The update must give
# up after the second identical failure, go on (status 0), and not try again
# within the hour for the same sources, unless told to (--again) or the
# sources change. apt works in a folder of its own (APT_CONFIG): the system's
# indexes are not touched.
#   tests/package/apt_update_test.sh [SOURCE_DIR]     (as root: apt-get update)
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "apt_update_test: needs root and apt-get; skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

arch=$(dpkg --print-architecture)
index=$work/archive/dists/stable/main/binary-$arch
mkdir -p "$index" "$work/lists/partial" "$work/cache/archives/partial" "$work/parts"
printf 'Package: demo\nVersion: 1.0\nArchitecture: %s\nFilename: pool/demo.deb\nSize: 1\nDescription: demo\n\n' \
    "$arch" > "$index/Packages"
{
    printf 'Suite: stable\nCodename: stable\nArchitectures: %s\nComponents: main\n' "$arch"
    printf 'Date: Mon, 01 Jan 2024 00:00:00 UTC\nSHA256:\n %s 376004 main/binary-%s/Packages\n' \
        "$(printf 'the index before the sync' | sha256sum | cut -d' ' -f1)" "$arch"
} > "$work/archive/dists/stable/Release"
echo "deb [trusted=yes] file:$work/archive stable main" > "$work/sources.list"
cat > "$work/apt.conf" <<EOF
Dir::Etc::SourceList "$work/sources.list";
Dir::Etc::SourceParts "$work/parts";
Dir::State::Lists "$work/lists";
Dir::Cache "$work/cache";
APT::Architectures { "$arch"; };
APT::Sandbox::User "root";
EOF
export APT_CONFIG=$work/apt.conf VEXEL_APT_RETRY_PAUSE=0
update() { "$root/scripts/apt-update.sh" "$@" > "$work/out" 2>&1; }
tries() { grep -c '^Err:' "$work/out"; }

update || fail "the update failed instead of going on: $(tail -3 "$work/out")"
[ "$(tries)" -eq 2 ] || fail "$(tries) tries of an index that failed the same way each time, not 2"
grep -q 'failed the same way twice' "$work/out" || fail "no word of giving up: $(tail -3 "$work/out")"
grep -q 'Hash Sum mismatch\|unexpected size' "$work/out" || fail "the index's error is not shown"

update || fail "the second update failed"
[ "$(tries)" -eq 0 ] || fail "updated again within the hour, for the same sources"

update --again || fail "the update with --again failed"
[ "$(tries)" -eq 2 ] || fail "--again did not update (tries: $(tries))"

echo "deb [trusted=yes] file:$work/archive stable main contrib" > "$work/sources.list"
update || fail "the update after a change of sources failed"
[ "$(tries)" -eq 2 ] || fail "a change of sources did not bring an update (tries: $(tries))"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "apt_update_test: a broken index was tried twice and the update went on; no second update within the hour"
