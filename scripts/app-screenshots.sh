#!/usr/bin/env bash
# Takes a screenshot of each of the desktop program's seven windows with the
# win64 window viewer (devtools/window_viewer/window_viewer.cpp) under Wine in a virtual X
# display, each window cut out with its frame, into docs/screenshots/ (or
# the folder given). The main window is shown in the examples folder, so its
# file list has pages in it. The bare X display has no window manager, so
# the Wine prefix draws every frame itself ("Decorated" off), as Windows does.
#
#   scripts/app-screenshots.sh [--exe path/to/vexel-windows.exe] [--build-dir dir] [folder]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/win64
exe=
out=docs/screenshots
while [ $# -gt 0 ]; do
    case "$1" in
        --exe) exe=$2; shift 2 ;;
        --build-dir) build_dir=$2; shift 2 ;;
        -h|--help) sed -n '2,9p' "$0"; exit 0 ;;
        *) out=$1; shift ;;
    esac
done
if [ -z "$exe" ]; then
    cmake --preset win64 -B "$build_dir" >/dev/null
    cmake --build "$build_dir" -j2 --target vexel-windows
    exe=$build_dir/devtools/vexel-windows.exe
fi
[ -f "$exe" ] || { echo "no window viewer at $exe" >&2; exit 1; }
exe=$(realpath "$exe")
mkdir -p "$out"
out=$(realpath "$out")
examples=$(realpath examples)
# The main window's caption carries the project's version.
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9]*\.[0-9]*\).*/\1/p' CMakeLists.txt)

source scripts/wine-lib.sh
wine_fresh_prefix screenshots

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -u
    exe=$1 out=$2 examples=$3 version=$4
    source scripts/wine-lib.sh
    wine_setup
    status=0
    while read -r name title; do
        (cd "$examples" && wine "$exe" "$name" >/dev/null 2>&1) &
        program=$!
        if ! id=$(wine_wait_window "$title"); then
            status=1
        else
            sleep 3  # let it paint
            import -window "$id" "$out/$name.png" && echo "saved $out/$name.png" || status=1
        fi
        kill "$program" 2>/dev/null
        wineserver -k 2>/dev/null
        wait "$program" 2>/dev/null
    done <<WINDOWS
splash toplogo
main Html Vexel Pro v$version
compression Compressing ...
options HTML page options...
tips Tip of the day
log Log
note IMessage
WINDOWS
    exit $status
' app-screenshots "$exe" "$out" "$examples" "$version"
