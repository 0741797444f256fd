#!/usr/bin/env bash
# How long Chromium takes to show a generated 1.2 MB page as it is, as a
# classic JavaScript page and as a modern page. A measurement, not a test:
# the classic page takes about a minute.
#   bench/chromium-open-time.sh [BUILD_DIR] [--skip-classic]   default: build/native
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/native}")
pages=(modern classic)
[ "${2:-}" = --skip-classic ] && pages=(modern)

(cd tests/browser && [ -d node_modules/playwright-core ] || npm ci --no-audit --no-fund --loglevel=error)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/vexel-bench" --size 1228800 --skip-exhaustive --save-page "$work/original.html" >/dev/null
cp "$work/original.html" "$work/classic.html"
cp "$work/original.html" "$work/modern.html"
"$build/cli/vexel" compress -q "$work/classic.html" 2>/dev/null
"$build/cli/vexel" compress -q --modern "$work/modern.html" 2>/dev/null
node bench/chromium_open_time.js "$work/original.html" $(printf "$work/%s.html " "${pages[@]}")
echo "(the modern page's time is the target: under 1.5 s)"
