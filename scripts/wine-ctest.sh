#!/usr/bin/env bash
# Runs the Windows test programs under Wine inside a virtual X display, with a
# Wine prefix of its own that is removed afterwards; the prefix draws window
# frames itself, for the tests that read frame pixels (scripts/wine-lib.sh).
#   scripts/wine-ctest.sh [--preset NAME] [CTEST OPTIONS...]     e.g. -R app
# (the win64 preset by default; the win32 one runs in the 32-bit guest of
# scripts/win32-vm.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-lib.sh
preset=win64
if [ "${1:-}" = --preset ]; then
    preset=$2
    shift 2
fi

wine_fresh_prefix ctest
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    source scripts/wine-lib.sh
    wine_setup
    preset=$1
    shift
    PATH="$(wine_detached_bin):$PATH" ctest --preset "$preset" "$@"
    status=$?
    # A test that timed out may leave a program of its own running: the
    # Windows programs get a minute to end, then Wine is stopped.
    timeout 60 wineserver -w || wineserver -k
    exit $status
' wine-ctest "$preset" "$@"
