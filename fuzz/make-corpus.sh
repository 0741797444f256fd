#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets from the example pages:
#   raw_data_reader        the data strings of the compressed examples
#   page_roundtrip         an options byte followed by each example page
#   encoder_vs_exhaustive  a window byte followed by the first 1200 bytes of each
#   modern_page            four example pages and their modern pages
# Needs the native build's vexel (build/native/cli/vexel).
set -euo pipefail
cd "$(dirname "$0")/.."

vexel=${VEXEL:-build/native/cli/vexel}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -rf fuzz/corpus
mkdir -p fuzz/corpus/raw_data_reader fuzz/corpus/page_roundtrip fuzz/corpus/encoder_vs_exhaustive \
    fuzz/corpus/modern_page

# Options byte of page_roundtrip: 1 collapse whitespace, 2 blank high-byte
# pairs, 4 high speed, 8 JavaScript, 16 password (eight bytes follow).
flags=(11 3 15 27 9 2 1 26 0 8)
i=0
while IFS= read -r page; do
    name=$(basename "$page")
    flag=${flags[$((i % ${#flags[@]}))]}
    {
        printf "\\$(printf '%03o' "$flag")"
        if (( flag & 16 )); then printf 'sesame42'; fi
        cat "$page"
    } >"fuzz/corpus/page_roundtrip/$name"
    {
        printf "\\$(printf '%03o' $((i % 2)))"
        head -c 1200 "$page"
    } >"fuzz/corpus/encoder_vs_exhaustive/$name"
    i=$((i + 1))
done < <(find examples -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort)

cp -R examples "$work/site"
"$vexel" compress --vbscript -q -r "$work/site" >/dev/null 2>&1 || true
while IFS= read -r page; do
    # The data line of a VBScript page: d="...", nothing doubled.
    python3 - "$page" "fuzz/corpus/raw_data_reader/$(basename "$page").data" <<'PY'
import sys
page = open(sys.argv[1], 'rb').read()
start = page.rfind(b'<SCRIPT LANGUAGE="VBS"><!--\r\nd="')
if start >= 0:
    start = page.index(b'd="', start) + 3
    open(sys.argv[2], 'wb').write(page[start:page.index(b'"', start)])
PY
done < <(find "$work/site" -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort)

# modern_page reads its input as a page and writes a page for it as an original.
cp -R examples "$work/modern"
"$vexel" compress --modern -q -r "$work/modern" >/dev/null 2>&1 || true
while IFS= read -r page; do
    cp "$page" "fuzz/corpus/modern_page/$(basename "$page")"
done < <(find examples -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort | head -4)
while IFS= read -r page; do
    cp "$page" "fuzz/corpus/modern_page/$(basename "$page").modern"
done < <(find "$work/modern" -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort | head -4)
