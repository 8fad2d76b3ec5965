#!/bin/sh
# Draws the program's artwork with ImageMagick: the 16x16 window icon and the
# 80x80 About logo (a GIF with a full 256-entry colour table). Run from any
# directory; the files are written beside this script.
set -eu
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf

# Logo: a shield shaded from deep to light blue on a warm radial glow, with a
# "T" across it. The two gradients give the quantiser enough colours to fill
# the whole 256-entry table.
convert -size 80x80 radial-gradient:'#fff4c0'-'#6a2a08' \
    \( -size 80x80 gradient:'#4f86d9'-'#0c1f45' \) \
    \( -size 80x80 xc:black -fill white \
       -draw 'path "M 40,6 L 70,16 L 66,48 Q 60,66 40,75 Q 20,66 14,48 L 10,16 Z"' \) \
    -composite \
    -fill none -stroke '#f2d36b' -strokewidth 3 \
    -draw 'path "M 40,6 L 70,16 L 66,48 Q 60,66 40,75 Q 20,66 14,48 L 10,16 Z"' \
    -stroke none -fill '#f7e7a8' -font "$font" -pointsize 48 \
    -gravity center -annotate +0+2 'T' \
    -dither FloydSteinberg -colors 256 logo.gif

# Icon: the same shield, drawn small.
convert -size 16x16 xc:none \
    -fill '#1d3f7a' -stroke '#d9a93a' -strokewidth 1 \
    -draw 'path "M 8,1 L 14,3 L 13,10 Q 12,13 8,15 Q 4,13 3,10 L 2,3 Z"' \
    -stroke none -fill '#f7e7a8' -draw 'rectangle 5,4 11,5' -draw 'rectangle 7,5 9,12' \
    PNG32:icon16.png
