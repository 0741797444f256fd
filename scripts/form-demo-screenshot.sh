#!/usr/bin/env bash
# Takes a screenshot of the form manager's demo: builds the win64 demo (or
# uses the one given with --exe), runs it under Wine in a virtual X display
# with a Wine prefix of its own, waits for its window, saves the screen as a
# PNG and ends the program. The bare X display has no window manager, and
# Wine leaves the frame of a window it hands to one undrawn; so the prefix
# tells Wine to draw every frame itself ("Decorated" off), title bar and
# caption buttons included, as Windows does.
#
#   scripts/form-demo-screenshot.sh [--exe path/to/vexel-form-demo.exe] [--build-dir dir]
#                                   [--wait SECONDS] [output.png]
#
# The demo starts from a fresh placement (--fresh). --wait is the time it
# gets before the picture (2 seconds).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/win64
exe=
out=form-demo.png
wait=2
while [ $# -gt 0 ]; do
    case "$1" in
        --exe) exe=$2; shift 2 ;;
        --build-dir) build_dir=$2; shift 2 ;;
        --wait) wait=$2; shift 2 ;;
        -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
        *) out=$1; shift ;;
    esac
done

if [ -z "$exe" ]; then
    cmake --preset win64 -B "$build_dir" >/dev/null
    cmake --build "$build_dir" -j2 --target vexel-form-demo
    exe=$build_dir/devtools/vexel-form-demo.exe
fi
[ -f "$exe" ] || { echo "no demo program at $exe" >&2; exit 1; }
exe=$(realpath "$exe")
out=$(realpath -m "$out")

source scripts/wine-lib.sh
wine_fresh_prefix form-demo

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -u
    exe=$1 out=$2 wait=$3
    title="Html Vexel form demo"
    source scripts/wine-lib.sh
    wine_setup
    wine "$exe" --fresh >/dev/null 2>&1 &
    program=$!
    if ! wine_wait_window "$title" >/dev/null; then
        kill "$program" 2>/dev/null
        exit 1
    fi
    sleep "$wait"  # let it paint
    status=0
    import -window root "$out" || status=$?
    kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null
    exit $status
' form-demo-screenshot "$exe" "$out" "$wait"
echo "saved $out"
