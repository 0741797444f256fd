#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset, clang) and runs each one for
# a fixed time, starting from its seeds: those committed in fuzz/corpus/<target>/
# and those made from the example pages into build/fuzz/seeds/<target>/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     default: 20 seconds, every target
# New inputs found go to build/fuzz/corpus/<target>/ (the seeds stay as they
# are); a crash leaves its input in build/fuzz/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
fuzz/make-corpus.sh build/fuzz/seeds build/fuzz/cli/vexel

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for program in build/fuzz/fuzz/fuzz_*; do
        targets+=("${program##*/fuzz_}")
    done
fi

for target in "${targets[@]}"; do
    found=build/fuzz/corpus/$target
    mkdir -p "$found"
    options=()
    # A target may come with a dictionary of its format's tokens.
    [ -f "fuzz/$target.dict" ] && options+=("-dict=../../fuzz/$target.dict")
    echo "== fuzz_$target for ${seconds}s"
    set +e
    (cd build/fuzz && "./fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 "${options[@]}" \
        "corpus/$target" $(for seeds in "../../fuzz/corpus/$target" "seeds/$target"; do
            [ -d "$seeds" ] && echo "$seeds"; done) 2>&1) |
        grep -E '^(stat::|==[0-9]+==|SUMMARY)|Test unit written|ERROR|DONE'
    status=${PIPESTATUS[0]}
    set -e
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$target failed (exit $status)" >&2
        exit 1
    fi
done
echo "Fuzzing passed."
