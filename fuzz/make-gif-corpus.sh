#!/usr/bin/env bash
# Makes the seed corpus of the GIF fuzz target with ImageMagick: small files
# that between them use every block and option the decoder knows.
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/corpus/gif_decoder
rm -rf "$out"
mkdir -p "$out"
cd "$out"

convert -size 1x1 xc:'#204080' GIF87:one-pixel.gif
convert -seed 1 -size 8x8 plasma:fractal -colors 2 bits1.gif
convert -seed 2 -size 13x7 plasma:fractal -colors 4 GIF87:bits2-87.gif
convert -seed 3 -size 16x9 plasma:fractal -colors 16 -interlace GIF GIF87:interlaced-87.gif
convert -seed 4 -size 11x10 plasma:fractal -colors 8 -interlace GIF interlaced-89.gif
convert -seed 5 -size 16x16 xc: +noise Random -colors 256 bits8.gif
convert -seed 6 -size 12x12 plasma:fractal -colors 16 -transparent "$(
    convert -seed 6 -size 12x12 plasma:fractal -colors 16 -format '%[pixel:p{0,0}]' info:)" transparent.gif
convert -seed 7 -size 9x6 plasma:fractal -colors 32 -page 15x11+3+4 offset.gif
convert -seed 8 -size 10x5 plasma:fractal -colors 8 -set comment "seed" comment.gif
convert -seed 9 -size 10x10 plasma:fractal -colors 4 \
    \( -seed 10 -size 10x10 plasma:fractal -colors 64 \) \
    \( -seed 11 -size 4x3 plasma:fractal -colors 2 -repage +2+5 \) \
    -set delay 5 -loop 0 animation.gif
# Noise of 256 colours: enough codes to fill the 4096-entry table.
convert -seed 12 -size 72x72 xc: +noise Random -colors 256 full-table.gif
