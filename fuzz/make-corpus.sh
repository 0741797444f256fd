#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets that start from the example pages,
# in OUT/<target>/ (scripts/fuzz.sh calls it before every run, so the seeds
# follow the examples):
#   raw_data_reader        the data strings of the compressed examples
#   page_roundtrip         an options byte followed by each example page
#   encoder_vs_exhaustive  a window byte followed by the first 1200 bytes of each
#   modern_page            four example pages and their modern pages
#   fuzz/make-corpus.sh OUT [VEXEL]    VEXEL: a built vexel (build/native/cli/vexel)
set -euo pipefail
out=$(realpath -m "${1:?usage: fuzz/make-corpus.sh OUT [VEXEL]}")
vexel=$(realpath "${2:-build/native/cli/vexel}")
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -rf "$out/raw_data_reader" "$out/page_roundtrip" "$out/encoder_vs_exhaustive"
mkdir -p "$out/raw_data_reader" "$out/page_roundtrip" "$out/encoder_vs_exhaustive"

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
    } >"$out/page_roundtrip/$name"
    {
        printf "\\$(printf '%03o' $((i % 2)))"
        head -c 1200 "$page"
    } >"$out/encoder_vs_exhaustive/$name"
    i=$((i + 1))
done < <(find examples -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort)

cp -R examples "$work/site"
"$vexel" compress --vbscript -q -r "$work/site" >/dev/null 2>&1 || true
while IFS= read -r page; do
    # The data line of a VBScript page: d="...", nothing doubled.
    python3 - "$page" "$out/raw_data_reader/$(basename "$page").data" <<'PY'
import sys
page = open(sys.argv[1], 'rb').read()
start = page.rfind(b'<SCRIPT LANGUAGE="VBS"><!--\r\nd="')
if start >= 0:
    start = page.index(b'd="', start) + 3
    open(sys.argv[2], 'wb').write(page[start:page.index(b'"', start)])
PY
done < <(find "$work/site" -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort)

# modern_page reads its input as a page and writes a page for it as an original.
mkdir -p "$out/modern_page"
rm -rf "$out/modern_page"/*
cp -R examples "$work/modern"
"$vexel" compress --modern -q -r "$work/modern" >/dev/null 2>&1 || true
while IFS= read -r page; do
    cp "$page" "$out/modern_page/$(basename "$page")"
done < <(find examples -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort | head -4)
while IFS= read -r page; do
    cp "$page" "$out/modern_page/$(basename "$page").modern"
done < <(find "$work/modern" -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort | head -4)
