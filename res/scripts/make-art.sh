#!/bin/bash
# Draws the window picture and the icons from draw-art.py's SVG.
# Usage: make-art.sh RES_DIR   (writes RES_DIR/picture/ and RES_DIR/icons/)
set -euo pipefail

res=${1:?usage: make-art.sh RES_DIR}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
draw() { python3 "$here/draw-art.py" "$@"; }
mkdir -p "$res/picture" "$res/icons"

# The picture: rendered at its natural size, then reduced to a 256-colour
# palette.  Riemersma dithering keeps the sky and the glows free of bands
# without the grain of Floyd-Steinberg; -compress None because the view's
# loader is only trusted with plain (not RLE) 8-bit bitmaps.
draw picture > "$work/picture.svg"
rsvg-convert -w 448 -h 332 -b '#120f33' "$work/picture.svg" -o "$work/picture.png"
convert "$work/picture.png" -alpha off -dither Riemersma -colors 256 -type Palette -compress None \
  "BMP3:$res/picture/mansion.bmp"

# The mansion and the cupcake are what the user clicks: each must lie wholly
# inside its click area, or a click on its edge would do nothing.
check_inside() {
  local kind=$1 area=$2
  draw "$kind" > "$work/$kind.svg"
  rsvg-convert -w 448 -h 332 "$work/$kind.svg" -o "$work/$kind.png"
  local box
  box=$(convert "$work/$kind.png" -channel A -threshold 3% +channel -format '%@' info:)
  # box is WxH+X+Y; area is "x1 y1 x2 y2", inclusive.
  awk -v box="$box" -v area="$area" -v kind="$kind" 'BEGIN {
    split(box, b, /[x+]/); split(area, a, " ")
    x1 = b[3]; y1 = b[4]; x2 = b[3] + b[1] - 1; y2 = b[4] + b[2] - 1
    printf "%s: x %d..%d, y %d..%d (area x %d..%d, y %d..%d)\n", kind, x1, x2, y1, y2, a[1], a[3], a[2], a[4]
    exit !(x1 >= a[1] && y1 >= a[2] && x2 <= a[3] && y2 <= a[4])
  }' || { echo "make-art.sh: $kind leaves its click area" >&2; exit 1; }
}
mapfile -t areas < <(draw areas)
check_inside mansion-alone "${areas[0]}"
check_inside cupcake-alone "${areas[1]}"

# Icons: the program (Mervo) and its settings document, as SVG for the
# scalable theme folder and as PNG at the sizes the hicolor theme wants.
draw app-icon > "$res/icons/hauntwatch.svg"
draw document-icon > "$res/icons/hauntwatch-document.svg"
rsvg-convert -w 256 -h 256 "$res/icons/hauntwatch.svg" -o "$res/icons/hauntwatch.png"
rsvg-convert -w 256 -h 256 "$res/icons/hauntwatch-document.svg" -o "$res/icons/hauntwatch-document.png"
for size in 48 128; do
  rsvg-convert -w $size -h $size "$res/icons/hauntwatch.svg" -o "$res/icons/hauntwatch-$size.png"
  rsvg-convert -w $size -h $size "$res/icons/hauntwatch-document.svg" -o "$res/icons/hauntwatch-document-$size.png"
done
