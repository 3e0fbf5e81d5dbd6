#!/usr/bin/env bash
# Draws the PNG sizes of the program icon from data/desktop/icons/tintora.svg with ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

for size in 16 24 32 48 64 128 256; do
    out=data/desktop/icons/tintora-$size.png
    convert -background none -density $((size * 72 / 256 * 4)) data/desktop/icons/tintora.svg \
        -resize "${size}x${size}" -depth 8 -strip "$out"
    echo "wrote $out"
done
