#!/usr/bin/env bash
# The Windows editor as a person meets it under Wine: on Xvfb with the
# openbox window manager, driven only by xdotool keys. A health typed in the
# enemy editor and Ctrl+S change that byte of the demo image and its checksum,
# and nothing else; Alt+F4 with an unsaved edit asks, and Escape keeps the
# window open. Also times the editor's start-up against a bare Qt window
# built the same way, in the same Wine prefix.
#
#   scripts/windows-smoke.sh [BUILD_DIR]     (default: build-windows)
set -euo pipefail
source "$(dirname "$0")/lib/display.sh"
build=$(cd "${1:-build-windows}" && pwd)
scratch=$(mktemp -d)
source "$(dirname "$0")/lib/wine-env.sh"
export WINEPREFIX=$scratch/prefix HOME=$scratch
unset QT_QPA_PLATFORM
failures=0

fail() {
    echo "windows-smoke: FAIL: $*" >&2
    failures=$((failures + 1))
}
giveUp() {
    fail "$*"
    exit 1
}
cleanUp() {
    wineserver -k 2>/dev/null || true
    kill "${openboxPid:-}" "${xvfbPid:-}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanUp EXIT

windowNamed() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
focusedName() { xdotool getwindowfocus getwindowname 2>/dev/null || true; }
focusIs() { [[ $(focusedName) == "$1" ]]; }

# Starts `program` and puts the seconds until its window named `title` shows
# into `seconds`.
startUp() {
    local program=$1 title=$2 start
    start=$(date +%s%N)
    (cd "$scratch/bin" && wine "$program" "${@:3}" >>"$scratch/wine.log" 2>&1 &)
    waitUntil 60 windowNamed "$title" || giveUp "$program showed no window \"$title\""
    local milliseconds=$((($(date +%s%N) - start) / 1000000))
    printf -v seconds '%d.%02d' $((milliseconds / 1000)) $((milliseconds % 1000 / 10))
}

# The bytes of `a` and `b` that differ, as cmp -l lists them (1-based).
differingBytes() { cmp -l "$1" "$2" | awk '{print $1}' | xargs; }

cp -r "$build/bin" "$scratch/bin"
cp "$scratch/bin/demo.smc" "$scratch/original.smc"
startDisplay 1280x900 "$scratch" || giveUp "no X display"
wineboot -i >>"$scratch/wine.log" 2>&1
# Debian's Wine finds its own fonts (fonts-wine) only in the prefix; a
# Windows system has its Tahoma.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

startUp bare-qt-window.exe "Bare Qt window"
bare=$seconds
waitUntil 10 focusIs "Bare Qt window" && xdotool key alt+F4
waitUntil 10 eval "! windowNamed 'Bare Qt window'" || fail "Alt+F4 did not close the bare Qt window"
startUp tarvon-addons.exe "demo.smc - Tarvon Add-ons" demo.smc
editor=$seconds
echo "windows-smoke: start-up under Wine: the editor ${editor} s, a bare Qt window ${bare} s"
waitUntil 10 focusIs "demo.smc - Tarvon Add-ons" || giveUp "the editor's window has no focus"

# Tools > Enemy Stat Editor; Tab leads from the third damage box to the
# list, the set box and the health box of slot 00.
xdotool key --delay 100 alt+t e
waitUntil 10 focusIs "demo.smc - Tarvon Add-ons" || true
sleep 1
# Slot 00's health: byte 0x6B373 of the image with its copier header.
health=$((($(od -An -tu1 -j439155 -N1 "$scratch/original.smc") + 17) % 256))
xdotool key --delay 50 Tab Tab Tab Home Tab Tab ctrl+a
xdotool type --delay 50 "$health"
xdotool key ctrl+s
# The image as tarvon-tables.exe makes it with the same health: that byte
# and the image's own checksum changed, and nothing else.
expectedImage() {
    cp "$scratch/original.smc" "$scratch/expected.smc"
    (cd "$scratch" && wine bin/tarvon-tables.exe export expected.smc -o tables.csv &&
        sed -i "2s/^\(00,[^,]*,\)[0-9]*,/\1$health,/" tables.csv &&
        wine bin/tarvon-tables.exe import expected.smc tables.csv) >>"$scratch/wine.log" 2>&1
}
expectedImage || giveUp "tarvon-tables.exe could not make the expected image"
saved() { cmp -s "$scratch/expected.smc" "$scratch/bin/demo.smc"; }
savedAsExpected=true
if ! waitUntil 10 saved; then
    savedAsExpected=false
    fail "after health $health typed for slot 00 and Ctrl+S the image differs" \
        "from the one expected at [$(differingBytes "$scratch/expected.smc" "$scratch/bin/demo.smc")]"
fi

# An unsaved edit, then Alt+F4: the question comes, and Escape keeps the window.
xdotool key ctrl+a
xdotool type --delay 50 "$(((health + 1) % 256))"
waitUntil 10 windowNamed "demo.smc\\* - Tarvon Add-ons" || fail "an edit left no * in the title"
xdotool key alt+F4
if waitUntil 10 windowNamed "Tarvon Add-ons"; then
    xdotool key Escape
    sleep 2
    windowNamed "demo.smc\\* - Tarvon Add-ons" || fail "Escape at the closing question closed the window"
else
    fail "Alt+F4 with an unsaved edit asked nothing"
fi
# Only a file that held the saved edit can show whether the unsaved one
# reached it.
if $savedAsExpected && ! saved; then
    fail "the unsaved edit reached the file"
fi

if ((failures)); then
    echo "windows-smoke: the keyboard focus is in the window \"$(focusedName)\"" >&2
    tail -20 "$scratch/wine.log" >&2
    exit 1
fi
echo "windows-smoke: all passed"
