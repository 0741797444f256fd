#!/usr/bin/env bash
# Takes a screenshot of one window of the desktop program: builds the win64
# window viewer (or uses the one given with --exe), runs it under Wine in a
# virtual X display with a Wine prefix of its own, waits for the window,
# saves the screen as a PNG and ends the program.
#
#   scripts/app-screenshot.sh [--exe path/to/vexel-windows.exe] [--build-dir dir]
#                             [--window NAME] [--wait SECONDS] [--crop] [output.png]
#
# NAME is one of compression, options, tips, log, note (compression unless
# --window says otherwise). --wait is the time the window gets to paint
# (2 seconds). --crop takes the window alone instead of the whole screen.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/win64
exe=
out=
window=compression
wait=2
crop=0
while [ $# -gt 0 ]; do
    case "$1" in
        --exe) exe=$2; shift 2 ;;
        --build-dir) build_dir=$2; shift 2 ;;
        --window) window=$2; shift 2 ;;
        --wait) wait=$2; shift 2 ;;
        --crop) crop=1; shift ;;
        -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
        *) out=$1; shift ;;
    esac
done
case "$window" in
    compression) title="Compressing ..." ;;
    options) title="HTML page options..." ;;
    tips) title="Tip of the day" ;;
    log) title="Log" ;;
    note) title="IMessage" ;;
    *) echo "no window \"$window\"; windows: compression options tips log note" >&2; exit 2 ;;
esac
[ -n "$out" ] || out=$window.png

if [ -z "$exe" ]; then
    cmake --preset win64 -B "$build_dir" >/dev/null
    cmake --build "$build_dir" -j2 --target vexel-windows
    exe=$build_dir/devtools/vexel-windows.exe
fi
[ -f "$exe" ] || { echo "no window viewer at $exe" >&2; exit 1; }
exe=$(realpath "$exe")
out=$(realpath -m "$out")

source scripts/wine-lib.sh
wine_fresh_prefix windows

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    exe=$1 out=$2 window=$3 title=$4 wait=$5 crop=$6
    source scripts/wine-lib.sh
    wine_setup
    wine "$exe" "$window" >/dev/null 2>&1 &
    program=$!
    if ! id=$(wine_wait_window "$title"); then
        kill "$program" 2>/dev/null
        exit 1
    fi
    sleep "$wait"  # let it paint
    status=0
    if [ "$crop" -eq 1 ]; then
        import -window "$id" "$out" || status=$?
    else
        import -window root "$out" || status=$?
    fi
    kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null
    exit $status
' app-screenshot "$exe" "$out" "$window" "$title" "$wait" "$crop"
echo "saved $out"
