#!/usr/bin/env bash
# Builds everything (native, native-debug, win64, win32) and runs every test:
# natively with CTest (once more in the checked build, under AddressSanitizer
# and UndefinedBehaviorSanitizer), the written pages in Chromium, and the
# win64 programs under Wine. The 32-bit build is compiled only.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh all

for preset in native native-debug win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

ctest --preset native
tests/package/deb_test.sh build/native
scripts/browser-tests.sh build/native/cli/vexel
ctest --preset native-debug
scripts/wine-ctest.sh
tests/package/installer_test.sh build/win64
echo "All tests passed."
