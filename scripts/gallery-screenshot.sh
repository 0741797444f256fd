#!/usr/bin/env bash
# Takes a screenshot of a page of the widget gallery: builds the win64 gallery
# (or uses the one given with --exe), runs it under Wine in a virtual X
# display with a Wine prefix of its own, waits for the page's window, saves
# the screen as a PNG and ends the program.
#
#   scripts/gallery-screenshot.sh [--exe path/to/vexel-gallery.exe] [--build-dir dir]
#                                 [--page NAME] [output.png]
#
# The page is "painting" unless --page names another.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/win64
exe=
out=gallery.png
page=painting
while [ $# -gt 0 ]; do
    case "$1" in
        --exe) exe=$2; shift 2 ;;
        --build-dir) build_dir=$2; shift 2 ;;
        --page) page=$2; shift 2 ;;
        -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
        *) out=$1; shift ;;
    esac
done

if [ -z "$exe" ]; then
    cmake --preset win64 -B "$build_dir" >/dev/null
    cmake --build "$build_dir" -j2 --target vexel-gallery
    exe=$build_dir/widgets/gallery/vexel-gallery.exe
fi
[ -f "$exe" ] || { echo "no gallery program at $exe" >&2; exit 1; }
exe=$(realpath "$exe")
out=$(realpath -m "$out")

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vexel-gallery-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    exe=$1 out=$2 page=$3
    title="Html Vexel gallery - $page"
    wineboot -i >/dev/null 2>&1
    wine "$exe" "$page" >/dev/null 2>&1 &
    program=$!
    # The window appears once Wine has started the program; give it a minute.
    for _ in $(seq 1 120); do
        if xwininfo -root -tree 2>/dev/null | grep -q -F "\"$title\""; then
            break
        fi
        sleep 0.5
    done
    if ! xwininfo -root -tree 2>/dev/null | grep -q -F "\"$title\""; then
        echo "the gallery window \"$title\" did not appear" >&2
        kill "$program" 2>/dev/null
        exit 1
    fi
    sleep 2  # let it paint
    import -window root "$out"
    status=$?
    kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null
    exit $status
' gallery-screenshot "$exe" "$out" "$page"
echo "saved $out"
