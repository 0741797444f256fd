#!/usr/bin/env bash
# Runs the win64 test programs under Wine inside a virtual X display, with a
# Wine prefix of its own that is removed afterwards. The bare display has no
# window manager, and Wine leaves the frames of windows it hands to one
# undrawn and unreadable; so the prefix tells Wine to draw every frame itself
# ("Decorated" off), as Windows does, for the tests that read frame pixels.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vexel-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineboot -i >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    ctest --preset win64 "$@"
    status=$?
    wineserver -w
    exit $status
' wine-ctest "$@"
