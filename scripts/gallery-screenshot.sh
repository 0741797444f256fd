#!/usr/bin/env bash
# Takes a screenshot of a page of the widget gallery: builds the win64 gallery
# (or uses the one given with --exe), runs it under Wine in a virtual X
# display with a Wine prefix of its own, waits for the page's window, saves
# the screen as a PNG and ends the program.
#
#   scripts/gallery-screenshot.sh [--exe path/to/vexel-gallery.exe] [--build-dir dir]
#                                 [--page NAME] [--shots N] [--interval SECONDS]
#                                 [--wait SECONDS] [output.png]
#
# The page is "painting" unless --page names another. With --shots N it takes
# N pictures, SECONDS apart (1 unless --interval says otherwise), while the
# page runs, written as output-1.png ... output-N.png: for pages that move,
# such as "presentation". --wait is the time the page gets before the first
# picture (2 seconds). The program's environment passes through, so a page's
# own settings can be given (VEXEL_FIRST_EFFECT=38 for "presentation").
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/win64
exe=
out=gallery.png
page=painting
shots=1
interval=1
wait=2
while [ $# -gt 0 ]; do
    case "$1" in
        --exe) exe=$2; shift 2 ;;
        --build-dir) build_dir=$2; shift 2 ;;
        --page) page=$2; shift 2 ;;
        --shots) shots=$2; shift 2 ;;
        --interval) interval=$2; shift 2 ;;
        --wait) wait=$2; shift 2 ;;
        -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
        *) out=$1; shift ;;
    esac
done
case "$shots" in
    ''|*[!0-9]*|0) echo "--shots wants a whole number from 1 up, not \"$shots\"" >&2; exit 2 ;;
esac

if [ -z "$exe" ]; then
    cmake --preset win64 -B "$build_dir" >/dev/null
    cmake --build "$build_dir" -j2 --target vexel-gallery
    exe=$build_dir/devtools/vexel-gallery.exe
fi
[ -f "$exe" ] || { echo "no gallery program at $exe" >&2; exit 1; }
exe=$(realpath "$exe")
out=$(realpath -m "$out")

source scripts/wine-lib.sh
wine_fresh_prefix gallery

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    exe=$1 out=$2 page=$3 shots=$4 interval=$5 wait=$6
    title="Html Vexel gallery - $page"
    source scripts/wine-lib.sh
    wine_setup
    wine "$exe" "$page" >/dev/null 2>&1 &
    program=$!
    if ! wine_wait_window "$title" >/dev/null; then
        kill "$program" 2>/dev/null
        exit 1
    fi
    sleep "$wait"  # let it paint
    status=0
    if [ "$shots" -eq 1 ]; then
        import -window root "$out" || status=$?
    else
        for shot in $(seq 1 "$shots"); do
            [ "$shot" -gt 1 ] && sleep "$interval"
            import -window root "${out%.png}-$shot.png" || status=$?
        done
    fi
    kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null
    exit $status
' gallery-screenshot "$exe" "$out" "$page" "$shots" "$interval" "$wait"
if [ "$shots" -eq 1 ]; then
    echo "saved $out"
else
    echo "saved ${out%.png}-1.png ... ${out%.png}-$shots.png"
fi
