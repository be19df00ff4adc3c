#!/usr/bin/env bash
# Draws the end screens' marks that the program carries for desktops whose icon theme has none:
# a white tick on green for Done, a white cross on red for a failure, at 48 pixels and at 96 for
# high-density screens (Qt picks @2x). Drawn four times larger and scaled down, for smooth edges.
# Usage: scripts/draw_marks.sh   (ImageMagick's convert; writes resources/marks/)
set -euo pipefail
cd "$(dirname "$0")/../resources/marks"
draw() {  # name colour path size
  convert -size 384x384 xc:none -fill "$2" -stroke white -strokewidth 16 -draw "circle 192,192 192,16" \
    -fill none -stroke white -strokewidth 40 -draw "stroke-linecap round stroke-linejoin round path '$3'" \
    -resize "$4x$4" "PNG32:$5"
}
for size in 48 96; do
  suffix=$([ "$size" = 96 ] && echo "@2x" || true)
  draw done '#2e7d32' 'M 104,200 L 168,264 L 288,128' "$size" "done$suffix.png"
  draw failed '#c62828' 'M 128,128 L 256,256 M 256,128 L 128,256' "$size" "failed$suffix.png"
done
