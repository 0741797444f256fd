#!/usr/bin/env bash
# Draws every picture of the desktop program into this folder: the main
# window's skin, the tool-button glyph strips, the close, idle and tip-window
# pictures, the panel texture, the program icon and the splash GIF, then the
# contact sheet that shows them all (contact-sheet.png).
# Needs Debian's python3-pil, imagemagick and the DejaVu fonts
# (scripts/install-deps.sh resources installs them).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export PYTHONDONTWRITEBYTECODE=1
python=/usr/bin/python3  # Debian's, which python3-pil belongs to
[ -x "$python" ] || python=python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$python" "$here/draw_resources.py" "$here" "$work"

# The icon keeps each size as drawn, with its alpha.
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$here/vexel.ico"

# The splash: one frame, GIF87a, 256 colours at most.
convert "$work/splash.png" -dither FloydSteinberg -colors 256 "GIF87:$here/splash.gif"
identify "$here/splash.gif"

PYTHONPATH="$here" "$python" "$here/contact_sheet.py" "$here" "$here/contact-sheet.png"
echo "Wrote the resources and contact-sheet.png to $here"
