#!/usr/bin/env bash
# Builds everything (native, win64, win32) and runs every test: natively with
# CTest, and the win64 programs under Wine. The 32-bit build is compiled only.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh all

for preset in native win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

ctest --preset native
scripts/wine-ctest.sh
echo "All tests passed."
