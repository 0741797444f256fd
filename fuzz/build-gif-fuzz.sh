#!/usr/bin/env bash
# Builds the GIF decoder's libFuzzer target with clang and the address and
# undefined-behaviour sanitizers, into build/fuzz-gif/gif_fuzz.
#   fuzz/build-gif-fuzz.sh            build only
#   fuzz/build-gif-fuzz.sh run [S]    build, then fuzz for S seconds (default 600)
#                                     from the seeds in fuzz/corpus/gif_fuzz
# New inputs go to build/fuzz-gif/corpus, crashes to build/fuzz-gif/.
# scripts/install-deps.sh fuzz installs clang and its runtimes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz-gif
mkdir -p "$out/corpus"

clang++ -std=c++17 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Wall -Wextra -Wpedantic -Wshadow -Werror \
    -I"$root" "$root/fuzz/gif_fuzz.cpp" "$root/picture/gif_decoder.cpp" -o "$out/gif_fuzz"

if [ "${1:-}" = run ]; then
    cd "$out"
    ./gif_fuzz -max_total_time="${2:-600}" -max_len=16384 -dict="$root/fuzz/gif.dict" -print_final_stats=1 \
        corpus "$root/fuzz/corpus/gif_fuzz"
fi
