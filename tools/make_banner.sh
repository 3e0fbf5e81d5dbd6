#!/usr/bin/env bash
# Draws data/Resources/banner.png with ImageMagick. The window stretches the banner's first and
# last pixel columns to the window's width, so those columns must be plain background.
set -euo pipefail
cd "$(dirname "$0")/.."

out=data/Resources/banner.png
width=600
height=64

convert -size "${width}x$((height - 3))" gradient:'#233140'-'#31465a' \
    -size "${width}x3" xc:'#d9a441' -append \
    -font DejaVu-Sans-Bold -pointsize 30 -fill white -annotate +24+40 'Tintora' \
    -font DejaVu-Sans -pointsize 12 -fill '#b8c6d4' \
    -annotate +168+39 'spot colour search in ICC output profiles' \
    -stroke '#0f161d' -strokewidth 1 \
    -fill '#00a0e3' -draw 'roundrectangle 440,19 462,41 4,4' \
    -fill '#e5007d' -draw 'roundrectangle 468,19 490,41 4,4' \
    -fill '#ffed00' -draw 'roundrectangle 496,19 518,41 4,4' \
    -fill '#1b1b1b' -stroke '#8795a3' -draw 'roundrectangle 524,19 546,41 4,4' \
    -fill '#f07d1a' -stroke white -strokewidth 2 -draw 'roundrectangle 554,17 578,43 5,5' \
    -depth 8 -strip "$out"
echo "wrote $out"
