#!/usr/bin/env bash
# Runs the win64 test programs under Wine inside a virtual X display, with a
# Wine prefix of its own that is removed afterwards; the prefix draws window
# frames itself, for the tests that read frame pixels (scripts/wine-lib.sh).
#   scripts/wine-ctest.sh [CTEST OPTIONS...]     e.g. -R app
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-lib.sh

wine_fresh_prefix ctest
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    source scripts/wine-lib.sh
    wine_setup
    ctest --preset win64 "$@"
    status=$?
    wineserver -w
    exit $status
' wine-ctest "$@"
