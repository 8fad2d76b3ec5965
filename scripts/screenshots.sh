#!/usr/bin/env bash
# Makes the screenshots of the README: starts the built editor under Xvfb,
# opens the demo image and both editors as a user does (keyboard and mouse,
# through xdotool), and saves PNGs of what is on the screen to
# docs/screenshots/.
#
#   bash scripts/screenshots.sh [build-dir]     (default: build)
#
# Needs xvfb, xdotool and ImageMagick. The demo image is opened from a
# scratch copy and nothing is saved.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
out=docs/screenshots

if [ -z "${TARVON_SCREENSHOTS_DISPLAY:-}" ]; then
    for tool in xvfb-run xdotool import convert; do
        command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
    done
    if [ ! -x "$build/bin/tarvon-addons" ] || [ ! -f "$build/bin/demo.smc" ]; then
        echo "screenshots.sh: build the program in $build first" >&2
        exit 1
    fi
    export TARVON_SCREENSHOTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build"
fi

scratch=$(mktemp -d)
program=
finish() {
    if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap finish EXIT
cp "$build/bin/demo.smc" "$scratch/demo.smc"
# The names that come with the program, not the user's own.
export XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$out"

settle() { sleep 0.5; }

# Drags with the mouse, from one point of the main window to another.
drag() {
    xdotool mousemove --window "$window" "$1" "$2" mousedown 1
    sleep 0.2
    xdotool mousemove --window "$window" "$3" "$4"
    sleep 0.2
    xdotool mouseup 1
    settle
}

# The colour of pixel x,y of an image.
colourAt() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'
}

# The workspace's colour, near the window's bottom right corner, and the first
# row of it at the window's right edge, just below the menu bar.
# The status bar takes the window's bottom rows, so the workspace is sampled
# above it.
readonly statusBarRoom=30
workspaceColour() {
    colourAt "$1" "$(($(identify -format %w "$1") - 1))" \
        "$(($(identify -format %h "$1") - 1 - statusBarRoom))"
}
workspaceTop() {
    local right colour
    right=$(($(identify -format %w "$1") - 1))
    colour=$(workspaceColour "$1")
    convert "$1" -crop "1x100+$right+0" +repage -depth 8 txt:- |
        awk -F'[,:]' -v colour="$colour" '$0 ~ colour && top == "" { top = $2 } END { print top }'
}

# Cuts the editor out of a part of the main window, `width` wide from the
# left (all of it if empty): everything but the workspace's plain background
# and the status bar.
cutEditor() {
    local whole=$1 width=${2:-$(identify -format %w "$1")} top colour
    top=$(workspaceTop "$whole")
    colour=$(workspaceColour "$whole")
    convert "$whole" -crop "${width}x$(($(identify -format %h "$whole") - top - statusBarRoom))+0+$top" \
        +repage -bordercolor "$colour" -border 1 \
        -trim +repage "$3"
}

# For the editors' own pictures the main window is made wide enough for both
# editors side by side; the damage table editor is moved by its title bar to
# the right of the other.
readonly windowSize=(800 360) tableTitleBar=(140 30) tableLeft=500

# Starts the program and opens the image: File > Open (Ctrl+O), the image's
# path typed into the dialog, Return.
startOnImage() {
    "$build/bin/tarvon-addons" &
    program=$!
    window=$(xdotool search --sync --limit 1 --name '^Tarvon Add-ons$')
    settle
    xdotool windowfocus --sync "$window"
    xdotool key ctrl+o
    xdotool search --sync --limit 1 --name '^Load File$' >/dev/null
    settle
    xdotool type --delay 5 "$scratch/demo.smc"
    xdotool key Return
    settle
    # Without a window manager nothing gives the focus back after the dialog.
    xdotool windowfocus --sync "$window"
}

# The main window at the size it opens, with both editors where they open:
# Tools, Enemy Stat Editor, then Tools, Damage Table Editor, by access keys.
startOnImage
xdotool key alt+t
settle
xdotool key e
settle
xdotool key alt+t
settle
xdotool key d
settle
import -window "$window" "$out/main-window.png"
kill "$program"
wait "$program" || true

startOnImage
xdotool windowsize --sync "$window" "${windowSize[@]}"
settle

# Tools, Damage Table Editor by its access keys.
xdotool key alt+t
settle
xdotool key d
settle
import -window "$window" "$scratch/table.png"
cutEditor "$scratch/table.png" "" "$out/damage-table-editor.png"

drag "${tableTitleBar[@]}" "$((tableTitleBar[0] + tableLeft))" "${tableTitleBar[1]}"
xdotool key alt+t
settle
xdotool key e
settle
import -window "$window" "$scratch/side-by-side.png"
cutEditor "$scratch/side-by-side.png" "$tableLeft" "$out/enemy-editor.png"
