#!/usr/bin/env bash
# Makes the GIF files the decoder tests read, and ImageMagick's own decoding
# of each as the expected pixels:
#   NAME.gif     the file
#   NAME.rgba    the first frame's own rectangle, 4 bytes a pixel (R, G, B, A)
#   index.txt    one line a file: NAME screen-width screen-height frame-left
#                frame-top frame-width frame-height
# Run it again after changing it and commit what it writes; the tests need no
# ImageMagick at run time. Needs ImageMagick's convert and identify.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.gif ./*.rgba index.txt

gif() {  # gif NAME convert-arguments... (the last argument is the output)
    local name=$1
    shift
    convert "$@"
    convert "$name.gif[0]" "rgba:$name.rgba"
    identify -format "%f %W %H %X %Y %w %h\n" "$name.gif[0]" | sed -e 's/\.gif / /' -e 's/+//g' >>index.txt
}

# Every bit depth, 1 to 8, as ImageMagick picks it from the number of colours.
for bits in 1 2 3 4 5 6 7 8; do
    colours=$((1 << bits))
    gif "depth$bits" -seed $bits -size 37x23 plasma:fractal -colors $colours "depth$bits.gif"
done

# GIF87a at odd sizes, down to a single pixel and single rows and columns.
gif old-1x1 -size 1x1 xc:'#3366cc' "GIF87:old-1x1.gif"
gif old-61x1 -seed 11 -size 61x1 plasma:fractal -colors 8 "GIF87:old-61x1.gif"
gif old-1x45 -seed 12 -size 1x45 plasma:fractal -colors 4 "GIF87:old-1x45.gif"
gif old-97x71 -seed 13 -size 97x71 plasma:fractal -colors 200 "GIF87:old-97x71.gif"
gif old-2bit -seed 14 -size 13x11 plasma:fractal -colors 3 "GIF87:old-2bit.gif"

# Interlaced, at heights that end inside each of the four passes.
for h in 1 2 3 4 5 7 8 9 17 30; do
    gif "interlaced-h$h" -seed $((20 + h)) -size "19x$h" plasma:fractal -colors 16 -interlace GIF "interlaced-h$h.gif"
done
gif interlaced-87 -seed 31 -size 45x33 plasma:fractal -colors 64 -interlace GIF "GIF87:interlaced-87.gif"

# Transparency: one palette colour (the one at the top-left) made transparent.
for colours in 2 16 256; do
    convert -seed $((40 + colours)) -size 29x27 plasma:fractal -colors $colours "trans-src.gif"
    key=$(convert trans-src.gif -format '%[pixel:p{0,0}]' info:)
    gif "transparent-$colours" trans-src.gif -transparent "$key" "transparent-$colours.gif"
done
rm -f trans-src.gif
gif transparent-interlaced -size 21x19 xc:none -fill '#c03020' -draw 'circle 10,9 10,2' \
    -interlace GIF transparent-interlaced.gif

# Noise of 256 colours: long code streams that fill the 4096-entry table.
gif noise-256 -seed 50 -size 160x120 xc: +noise Random -colors 256 noise-256.gif
gif noise-2 -seed 51 -size 203x97 xc: +noise Random -colors 2 noise-2.gif

# A frame that covers only part of its screen.
gif offset -seed 60 -size 23x17 plasma:fractal -colors 32 -page 41x37+9+13 offset.gif

# Animations: the first frame is what counts; the later frames carry local
# colour tables and other placements.
convert -seed 70 -size 31x25 plasma:fractal -colors 16 frame-a.gif
convert -seed 71 -size 31x25 plasma:fractal -colors 64 frame-b.gif
convert -seed 72 -size 11x9 plasma:fractal -colors 8 -page +5+6 frame-c.gif
gif animation -delay 10 -loop 0 frame-a.gif frame-b.gif frame-c.gif animation.gif
rm -f frame-a.gif frame-b.gif frame-c.gif
