#!/usr/bin/env bash
# Runs the win64 test programs under Wine inside a virtual X display, with a
# Wine prefix of its own that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vexel-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineboot -i >/dev/null 2>&1
    ctest --preset win64 "$@"
    status=$?
    wineserver -w
    exit $status
' wine-ctest "$@"
