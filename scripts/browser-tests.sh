#!/usr/bin/env bash
# Runs the real-browser tests: Debian's chromium driven by playwright-core
# (installed into tests/browser/node_modules by npm ci from the lock file),
# against a build of vexel.
#   scripts/browser-tests.sh [VEXEL_PROGRAM]    default: build/native/cli/vexel
# With VEXEL_DESKTOP_PAGES naming the folder where the desktop program's
# end-to-end test (win64, under Wine) left an encrypted page, that page is
# opened too, and its absence fails the run; without it that test is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "${1:-build/native/cli/vexel}")
if [ -n "${VEXEL_DESKTOP_PAGES:-}" ]; then
    VEXEL_DESKTOP_PAGES=$(realpath -m "$VEXEL_DESKTOP_PAGES")
    export VEXEL_DESKTOP_PAGES
fi
cd tests/browser
# npm ci starts from the lock file every time it runs; skip it while the
# installed packages are those of the lock file.
if ! cmp -s package-lock.json node_modules/.vexel-installed-lock 2>/dev/null; then
    npm ci --no-audit --no-fund --loglevel=error
    cp package-lock.json node_modules/.vexel-installed-lock
fi
VEXEL_PROGRAM=$program node --test
