#!/usr/bin/env bash
# Paints the About window's picture (src/shell/resources/about.jpg) with ImageMagick: a dusk
# gradient, a small branching dialog tree, the program's name and a line under it.
set -euo pipefail
out=${1:-"$(dirname "$0")/../src/shell/resources/about.jpg"}
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
convert -size 840x290 gradient:'#16213e-#0f6e7a' \
    -stroke '#f2c14e' -strokewidth 5 -fill none \
    -draw 'line 90,145 190,70' -draw 'line 90,145 190,145' -draw 'line 90,145 190,220' \
    -draw 'line 190,70 280,40' -draw 'line 190,70 280,100' -draw 'line 190,220 280,250' \
    -stroke none -fill '#f2c14e' \
    -draw 'circle 90,145 90,121' \
    -fill '#f7f7f2' \
    -draw 'circle 190,70 190,54' -draw 'circle 190,145 190,129' -draw 'circle 190,220 190,204' \
    -draw 'circle 280,40 280,28' -draw 'circle 280,100 280,88' -draw 'circle 280,250 280,238' \
    -font "$font" -fill '#f7f7f2' -pointsize 96 -annotate +340+160 'Talmero' \
    -pointsize 24 -fill '#f2c14e' -annotate +346+212 'dialog trees for 3D Game Studio' \
    -quality 90 "$out"
