#!/bin/sh
# Rasterises the desktop icon, icons/tarvon-addons.svg (the shield of the
# program's window icon, drawn large), into the hicolor sizes the desktop
# entry uses: icons/<size>.png. Needs rsvg-convert (Debian: librsvg2-bin).
# Run from any directory; the PNGs are written beside the SVG.
set -eu
cd "$(dirname "$0")/icons"
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "$size.png" tarvon-addons.svg
done
