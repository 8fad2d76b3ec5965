#!/bin/sh
# Rasterises the desktop icon, icons/tarvon-addons.svg (the shield of the
# program's window icon, drawn large), into the hicolor sizes the desktop
# entry uses: icons/<size>.png. Then packs those PNGs into the Windows icon,
# windows/tarvon-addons.ico (32-bit images with alpha, the 256 one as PNG), so
# that the Windows build needs no image tools. Needs rsvg-convert (Debian:
# librsvg2-bin) and ImageMagick's convert (Debian: imagemagick).
# Run from any directory; the PNGs are written beside the SVG.
set -eu
cd "$(dirname "$0")/icons"
sizes="16 32 48 64 128 256"
for size in $sizes; do
    rsvg-convert --width "$size" --height "$size" --output "$size.png" tarvon-addons.svg
done
# shellcheck disable=SC2046,SC2086 # one PNG file name per size
convert $(printf '%s.png ' $sizes) ../windows/tarvon-addons.ico
