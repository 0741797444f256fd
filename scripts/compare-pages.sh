#!/usr/bin/env bash
# Compresses copies of the example pages with two builds of vexel, under each
# set of classic options, and compares the pages written and the logs byte
# for byte: a change to the engine that must leave the classic pages as they
# were shows here that it did.
#   scripts/compare-pages.sh OLD_VEXEL NEW_VEXEL [PAGE_FOLDER]
set -euo pipefail

old=$(realpath "$1")
new=$(realpath "$2")
pages=$(realpath "${3:-$(dirname "$0")/../examples}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

option_sets=(
    ""
    "--vbscript"
    "--keep-whitespace"
    "--keep-high-bytes"
    "--keep-whitespace --keep-high-bytes"
    "--high-speed"
    "--password open-sesame"
    "--vbscript --keep-whitespace --keep-high-bytes --password x"
)

differ=0
compared=0
for options in "${option_sets[@]}"; do
    for side in old new; do
        rm -rf "$work/$side"
        cp -R "$pages" "$work/$side"
        binary=$old
        [ "$side" = new ] && binary=$new
        # The log names the folder; run from inside it so both logs read alike.
        (cd "$work/$side" && "$binary" compress -r $options . >"$work/$side.log" 2>"$work/$side.err") || true
    done
    while IFS= read -r file; do
        compared=$((compared + 1))
        if ! cmp -s "$work/old/$file" "$work/new/$file"; then
            echo "differs with options '$options': $file"
            differ=$((differ + 1))
        fi
    done < <(cd "$work/old" && find . -type f | LC_ALL=C sort)
    if ! cmp -s "$work/old.log" "$work/new.log"; then
        echo "the logs differ with options '$options':"
        diff "$work/old.log" "$work/new.log" | head -20 || true
        differ=$((differ + 1))
    fi
done
echo "$compared files compared under ${#option_sets[@]} option sets, $differ difference(s)"
[ "$differ" -eq 0 ]
