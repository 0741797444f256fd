#!/usr/bin/env bash
# How long Chromium takes to show a generated 1.2 MB page as it is and as a
# modern page of each codec, deflate (expanded by the browser) and LZMA
# (expanded by the page's own decoder), and, with --with-classic, as a classic
# JavaScript page, which takes about a minute a round: the pages opened in
# turn, five rounds, the median of each. Then two pages of about 50 KB of the
# bench site (vexel-format-bench --write-site) as they are and as pages of the
# site beside their shared file: the first in a fresh browser, the second
# after it. A measurement, not a test.
#   bench/chromium-open-time.sh [BUILD_DIR] [--with-classic]   default: build/native
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/native}")
pages=(modern lzma)
[ "${2:-}" = --with-classic ] && pages=(modern lzma classic)

(cd tests/browser && [ -d node_modules/playwright-core ] || npm ci --no-audit --no-fund --loglevel=error)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/vexel-bench" --size 1228800 --skip-exhaustive --save-page "$work/original.html" >/dev/null
cp "$work/original.html" "$work/classic.html"
cp "$work/original.html" "$work/modern.html"
cp "$work/original.html" "$work/lzma.html"
"$build/cli/vexel" compress -q "$work/classic.html" 2>/dev/null
"$build/cli/vexel" compress -q --modern --codec deflate "$work/modern.html" 2>/dev/null
"$build/cli/vexel" compress -q --modern --codec lzma "$work/lzma.html" 2>/dev/null
node bench/chromium_open_time.js "$work/original.html" $(printf "$work/%s.html " "${pages[@]}")
echo "(target: the modern pages no slower than the original)"

"$build/bench/vexel-format-bench" --write-site "$work/site-original"
cp -r "$work/site-original" "$work/site"
"$build/cli/vexel" compress -q -r --modern --site "$work/site" "$work/site" 2>/dev/null
# Two pages of 45 to 55 KB.
cd "$work/site-original"
mapfile -t near < <(find . -name '*.html' -size +45k -size -55k | sort | head -2 | sed 's,^./,,')
cd - >/dev/null
node bench/chromium_site_open_time.js "$work/site-original" "$work/site" "${near[0]}" "${near[1]}"
echo "(target: the first page no slower than the original, the second faster still)"
