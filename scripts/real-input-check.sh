#!/usr/bin/env bash
# Tries the built program as a person would, on a real X server: Xvfb with the
# openbox window manager, driven only by key presses and mouse clicks
# (xdotool) at positions read with xwininfo. Prints a line for each check that
# fails and exits non-zero if any did.
#
#   bash scripts/real-input-check.sh [build-dir]     (default: build)
#
# The X server takes the first free display, or the one TARVON_CHECK_DISPLAY
# names (12 or :12), for a machine where each user of X has a number of their
# own.
#
# Needs xvfb, openbox, xdotool, x11-utils (xwininfo, xprop) and xclip, which
# reads what a value box shows once Ctrl+A, Ctrl+C have copied it. Works on
# scratch copies of the demo image; the program's own files stay as they are.
set -euo pipefail
# English, whatever the developer's language, locale or desktop theme.
export LANGUAGE= LC_ALL=C.UTF-8 QT_QPA_PLATFORMTHEME=
cd "$(dirname "$0")/.."
source scripts/lib/display.sh

build=$(realpath "${1:-build}")
program="$build/bin/tarvon-addons"
tables="$build/bin/tarvon-tables"
for tool in Xvfb openbox xdotool xwininfo xprop xclip od cmp; do
    command -v "$tool" >/dev/null || { echo "real-input-check: $tool is missing" >&2; exit 1; }
done
if [ ! -x "$program" ] || [ ! -f "$build/bin/demo.smc" ]; then
    echo "real-input-check: build the program in $build first" >&2
    exit 1
fi

readonly damageTable=$((0x37627)) enemyHealth=$((0x6B373)) enemyDamage=$((0x6B466))
# The demo image's own checksum: its complement, then the checksum, two bytes
# each, which every save keeps right.
readonly checksumFields=$((0x81DC))
# The enemy editor types a set for one slot and picks one for the next; the
# damage table editor types a set, then a value for armour 2 of the set shown.
readonly typedSetSlot=13 pickedSetSlot=14

scratch=$(mktemp -d)
pids=()
finish() {
    local pid
    for pid in "${pids[@]}" ${openboxPid:-} ${xvfbPid:-}; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT
trap "exit 1" INT TERM

failures=0
fail() {
    echo "real-input-check: FAILED: $*" >&2
    failures=$((failures + 1))
}
# A failure after which the remaining checks cannot run; shows what the
# program said, if anything.
giveUp() {
    fail "$*"
    if [ -s "$scratch/program.log" ]; then sed 's/^/    program: /' "$scratch/program.log" >&2; fi
    exit 1
}


byteAt() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
# The offsets, in hexadecimal, at which two files of equal length differ,
# but for the checksum's.
differences() {
    cmp -l "$1" "$2" | awk -v fields="$checksumFields" \
        '$1 - 1 < fields || $1 - 1 > fields + 3 { printf "0x%X\n", $1 - 1 }' | sort | xargs
}
# Whether the checksum of the image, of 1 MiB after its copier header, is
# the sum of those bytes and its complement the complement.
checksumIsRight() {
    local sum fields
    sum=$(od -An -v -tu1 -j 512 "$1" | awk '{ for (i = 1; i <= NF; i++) s += $i } END { print s % 65536 }')
    fields=$(od -An -tu2 --endian=little -j "$checksumFields" -N4 "$1" | xargs)
    [ "$fields" = "$((65535 - sum)) $sum" ]
}
hex() { printf '0x%X\n' "$@" | sort | xargs; }
# Whether the image differs from `before` exactly at the offsets `expected`.
savedAsExpected() { [ "$(differences "$1" "$scratch/demo.smc")" = "$2" ]; }

# X windows: a window's geometry and state, read with xwininfo.
windowField() { xwininfo -id "$1" | sed -n "s/^ *$2: *//p"; }
isViewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
namedWindow() { xwininfo -name "$1" 2>/dev/null | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p'; }
# The program's windows that are on screen outside the window manager's
# frames (override-redirect): its menus, drop-down lists and other popups.
popups() {
    local id
    for id in $(xwininfo -root -children | awk '/\("tarvon-addons"/ { print $1 }'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
            isViewable "$id" && echo "$id"
    done
    return 0
}
noPopup() { [ -z "$(popups)" ]; }
# A popup that is not one of the windows given.
newPopup() {
    local id
    for id in $(popups); do
        [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
    done
    return 1
}
hasNewPopup() { newPopup "$@" >/dev/null; }
hasFocus() { [ "$(xdotool getwindowfocus)" = "$(printf '%d' "$1")" ]; }
dialogUp() { local id; id=$(namedWindow 'Load File') && [ -n "$id" ] && isViewable "$id" && hasFocus "$id"; }
dialogGone() { local id; id=$(namedWindow 'Load File'); [ -z "$id" ] || ! isViewable "$id"; }

# Presses `key`, which should open a menu, and prints the menu's window.
openMenuBy() {
    local before
    before=$(popups | xargs)
    xdotool key "$1"
    waitUntil 5 hasNewPopup "$before" && newPopup "$before"
}
closeMenus() {
    xdotool key Escape Escape
    waitUntil 5 noPopup || fail "Escape left a menu open"
}
clickAt() { xdotool mousemove --sync "$1" "$2" click 1; }

# The main window's title, and the window that has the keyboard focus.
title() { xprop -id "$main" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^=]*= "\(.*\)"$/\1/p'; }
titleIs() { [ "$(title)" = "$1" ]; }
focusedWindow() { xdotool getwindowfocus getwindowname 2>/dev/null || echo "(none)"; }
# A question, found by its title, that is on screen with the keyboard focus;
# and one that is not (or no longer) on screen.
questionUp() { local id; id=$(namedWindow "$1") && [ -n "$id" ] && isViewable "$id" && hasFocus "$id"; }
questionGone() { local id; id=$(namedWindow "$1"); [ -z "$id" ] || ! isViewable "$id"; }

# What the box with the keyboard focus shows, read as a person copies it:
# Ctrl+A, Ctrl+C, then the clipboard, into `shown`. The clipboard first holds
# a text that no box shows, so that a copy that did not happen is not read as
# one. (xclip keeps that text on offer until the program's copy replaces it.)
# A copy can come to nothing, as it would for a person: a new value shown
# between Ctrl+A and Ctrl+C leaves nothing selected. So the copy is waited for
# only briefly; the callers read again until the box shows what they expect.
readonly noCopy="(nothing copied)"
clipboard() { xclip -o -selection clipboard 2>/dev/null; }
clipboardHolds() { [ "$(clipboard)" = "$1" ]; }
copyFocusedBox() {
    local tries
    printf '%s' "$noCopy" | xclip -selection clipboard >/dev/null 2>&1
    waitUntil 2 clipboardHolds "$noCopy" || return 1
    xdotool key ctrl+a ctrl+c
    for ((tries = 5; tries > 0; tries--)); do
        sleep 0.05
        clipboardHolds "$noCopy" || { shown=$(clipboard); return 0; }
    done
    shown="nothing (no copy)"
    return 1
}
shown=""
boxShows() { copyFocusedBox && [ "$shown" = "$1" ]; }

# The program run last started, by its process id: whether it has ended (a
# child that ended stays a zombie until waited for), and its exit status.
run=""
hasEnded() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 0
    [ -z "$state" ] || [ "$state" = Z ]
}
# Waits for the run to end, puts its exit status into `status` and forgets its
# id, which the system may give to another process from now on.
waitForEnd() {
    local pid
    waitUntil "$1" hasEnded "$run" || return 1
    status=0
    wait "$run" || status=$?
    for pid in "${!pids[@]}"; do [ "${pids[$pid]}" != "$run" ] || unset "pids[$pid]"; done
    run=""
}

# --- The X server, the window manager and the program ---
startDisplay 1024x768 "$scratch" || giveUp "no X display"

cp "$build/bin/demo.smc" "$scratch/demo.smc"
cp "$build/bin/demo.smc" "$scratch/original.smc"
# An empty config folder: the names beside the program, not the user's own.
QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$scratch/config" "$program" >"$scratch/program.log" 2>&1 &
run=$!
pids+=("$run")
# The main window, by its title: "Tarvon Add-ons" until an image is loaded.
mainWindowUp() { main=$(namedWindow "${1:-Tarvon Add-ons}") && [ -n "$main" ] && isViewable "$main"; }
waitUntil 20 mainWindowUp || giveUp "the main window did not appear"
waitUntil 10 hasFocus "$main" || giveUp "the main window did not get the keyboard focus"

# --- Menus by keyboard ---
if openMenuBy alt+f >/dev/null; then closeMenus; else fail "Alt+F did not open the File menu"; fi
helpMenu=$(openMenuBy alt+h) || giveUp "Alt+H did not open the Help menu"
# Tools lies just left of Help in the menu bar, above the menus' top edge.
toolsX=$(($(windowField "$helpMenu" 'Absolute upper-left X') - 10))
toolsY=$(($(windowField "$helpMenu" 'Absolute upper-left Y') - 10))
closeMenus

# --- Open by typing the file name, then the first click on Tools ---
xdotool key ctrl+o
waitUntil 10 dialogUp || giveUp "Ctrl+O did not bring up the Open dialog"
xdotool type --delay 30 "$scratch/demo.smc"
xdotool key Return
waitUntil 10 dialogGone || giveUp "the Open dialog did not close after Return"
if ! waitUntil 3 noPopup; then
    fail "after the Open dialog closed, a popup of the program stays on screen: $(popups | xargs)"
fi
leftover=$(popups | xargs)
clickAt "$toolsX" "$toolsY"
if waitUntil 5 hasNewPopup "$leftover"; then
    xdotool key e # Enemy Stat Editor
    waitUntil 5 noPopup || fail "E in the Tools menu left a menu open"
else
    fail "the first click on Tools after Open did not open the Tools menu"
    openMenuBy alt+t >/dev/null || giveUp "Alt+T did not open the Tools menu"
    xdotool key e
fi

# --- Enemy editor: a typed set is no pick; a picked set, a health, Save ---
lowBits() { echo $(($(byteAt "$scratch/original.smc" $((enemyDamage + $1))) & 0x0F)); }
typedSet=$((($(lowBits $typedSetSlot) + 1) % 10))
pickedSet=$((($(lowBits $pickedSetSlot) + 2) % 10))
health=$((($(byteAt "$scratch/original.smc" $((enemyHealth + pickedSetSlot))) + 17) % 256))

# The focus starts on the third damage box; Tab leads to the list, the set
# box and the health box.
xdotool key --delay 20 Tab Tab Tab Home
for ((slot = 0; slot < typedSetSlot; slot++)); do xdotool key Down; done
xdotool key Tab ctrl+a
xdotool type "$typedSet"
xdotool key --delay 20 Return Tab shift+Tab shift+Tab Down Tab
comboList=$(openMenuBy alt+Down) || giveUp "Alt+Down did not open the set box's list"
listY=$(windowField "$comboList" 'Absolute upper-left Y')
listHeight=$(windowField "$comboList" 'Height')
clickAt $(($(windowField "$comboList" 'Absolute upper-left X') + 10)) \
    $((listY + (2 * pickedSet + 1) * listHeight / 20))
waitUntil 5 noPopup || fail "a click on set $pickedSet left the set box's list open"
xdotool key Tab ctrl+a
xdotool type "$health"
xdotool key ctrl+s

expected=$(hex $((enemyHealth + pickedSetSlot)) $((enemyDamage + pickedSetSlot)))
if ! waitUntil 10 savedAsExpected "$scratch/original.smc" "$expected"; then
    fail "enemy editor: after typing set $typedSet for slot $typedSetSlot, picking set" \
        "$pickedSet and health $health for slot $pickedSetSlot and Ctrl+S, the file differs" \
        "at [$(differences "$scratch/original.smc" "$scratch/demo.smc")], expected [$expected]"
fi
cp "$scratch/demo.smc" "$scratch/saved.smc"

# --- Damage table editor: a value typed after a typed set goes to the set shown ---
readonly shownSet=0 tableTypedSet=4
armour2() { byteAt "$scratch/saved.smc" $((damageTable + 3 * $1 + 1)); }
value=$((($(armour2 $shownSet) + 1) % 100))
[ "$value" != "$(armour2 $tableTypedSet)" ] || value=$(((value + 1) % 100))
openMenuBy alt+t >/dev/null || giveUp "Alt+T did not open the Tools menu"
xdotool key d # Damage Table Editor
waitUntil 5 noPopup || fail "D in the Tools menu left a menu open"
# The focus starts on the first damage box; the set box follows the third.
xdotool key --delay 20 Tab Tab Tab ctrl+a
xdotool type "$tableTypedSet"
xdotool key --delay 20 Return shift+Tab shift+Tab ctrl+a
xdotool type "$value"
xdotool key ctrl+s

expected=$(hex $((damageTable + 3 * shownSet + 1)))
if ! waitUntil 10 savedAsExpected "$scratch/saved.smc" "$expected"; then
    fail "damage table editor: after typing set $tableTypedSet, Enter, $value into Armor 2" \
        "and Ctrl+S, the file differs at [$(differences "$scratch/saved.smc" "$scratch/demo.smc")]," \
        "expected [$expected] (armour 2 of set $shownSet, the set shown)"
fi

# --- Another program changes the tables while an edit waits: Save keeps both ---
# The damage table editor still has the focus in Armor 2 of set 0. One edit
# there, then tarvon-tables imports other values (armour 1 of sets 5 to 7)
# into the same image. Ctrl+S asks nothing and writes the edit beside the
# import's values.
cp "$scratch/demo.smc" "$scratch/before-import.smc"
editedValue=$((($(byteAt "$scratch/demo.smc" $((damageTable + 1))) + 3) % 100))
xdotool key ctrl+a
xdotool type "$editedValue"
waitUntil 5 titleIs "demo.smc* - Tarvon Add-ons" ||
    fail "typing $editedValue into Armor 2 of set 0: the title is \"$(title)\"," \
        "expected the * of unsaved edits"
"$tables" export "$scratch/demo.smc" -o "$scratch/tables.csv"
awk -F, -v OFS=, 'NR >= 265 && NR <= 267 { $2 = ($2 + 1) % 256 } { print }' \
    "$scratch/tables.csv" >"$scratch/imported.csv"
if "$tables" import "$scratch/demo.smc" "$scratch/imported.csv" \
    >"$scratch/import.out" 2>"$scratch/import.log"; then
    cp "$scratch/demo.smc" "$scratch/imported.smc"
    importedAt=$(hex $((damageTable + 15)) $((damageTable + 18)) $((damageTable + 21)))
    [ "$(differences "$scratch/before-import.smc" "$scratch/imported.smc")" = "$importedAt" ] ||
        fail "tarvon-tables import changed [$(differences "$scratch/before-import.smc" \
            "$scratch/imported.smc")], expected [$importedAt]"
    xdotool key ctrl+s
    expected=$(hex $((damageTable + 1)) $((damageTable + 15)) $((damageTable + 18)) $((damageTable + 21)))
    if ! waitUntil 10 savedAsExpected "$scratch/before-import.smc" "$expected"; then
        fail "Ctrl+S after tarvon-tables import changed armour 1 of sets 5 to 7, with $editedValue" \
            "typed into Armor 2 of set 0: the file differs at [$(differences \
            "$scratch/before-import.smc" "$scratch/demo.smc")], expected [$expected]; the window" \
            "with the focus is \"$(focusedWindow)\""
    fi
    questionGone Warning || giveUp "Ctrl+S after an import of other values asked a question"
    for offset in $((damageTable + 15)) $((damageTable + 18)) $((damageTable + 21)); do
        [ "$(byteAt "$scratch/demo.smc" "$offset")" = "$(byteAt "$scratch/imported.smc" "$offset")" ] ||
            fail "Save after the import wrote $(byteAt "$scratch/demo.smc" "$offset") at" \
                "$(hex "$offset"), the import had written $(byteAt "$scratch/imported.smc" "$offset")"
    done
    [ "$(byteAt "$scratch/demo.smc" $((damageTable + 1)))" = "$editedValue" ] ||
        fail "Save after the import wrote $(byteAt "$scratch/demo.smc" $((damageTable + 1))) into" \
            "Armor 2 of set 0, expected the $editedValue typed"
    waitUntil 5 titleIs "demo.smc - Tarvon Add-ons" ||
        fail "after Save the title is \"$(title)\", expected no * of unsaved edits"
    checksumIsRight "$scratch/demo.smc" ||
        fail "after the saves and the import the demo image's own checksum is no longer right"
else
    fail "tarvon-tables import failed: $(cat "$scratch/import.log")"
fi

# --- Keyboard truth: each check below starts a new run of the program ---
# Ends the program by File > Exit, with no unsaved edits: it asks nothing and
# ends with status 0.
quitByMenu() {
    xdotool key alt+f x
    waitForEnd 10 || giveUp "Alt+F, X with no unsaved edits did not end the program (title" \
        "\"$(title)\", the window with the focus is \"$(focusedWindow)\")"
    ((status == 0)) || fail "File > Exit ended the program with status $status, expected 0"
}
# Ends the program by File > Exit and starts it again on the image as saved
# so far, opened by Ctrl+O; keeps that image as `before`.
restartOnImage() {
    quitByMenu
    QT_QPA_PLATFORM=xcb "$program" >>"$scratch/program.log" 2>&1 &
    run=$!
    pids+=("$run")
    waitUntil 20 mainWindowUp || giveUp "the main window did not appear again"
    waitUntil 10 hasFocus "$main" || giveUp "the main window did not get the focus again"
    xdotool key ctrl+o
    waitUntil 10 dialogUp || giveUp "Ctrl+O did not bring up the Open dialog"
    xdotool type --delay 30 "$scratch/demo.smc"
    xdotool key Return
    waitUntil 10 dialogGone || giveUp "the Open dialog did not close after Return"
    cp "$scratch/demo.smc" "$scratch/before.smc"
}
# Opens the Tools menu and chooses the item with access key `key`.
toolsItem() {
    openMenuBy alt+t >/dev/null || giveUp "Alt+T did not open the Tools menu"
    xdotool key "$1"
    waitUntil 5 noPopup || fail "$1 in the Tools menu left a menu open"
}
# Saves with Ctrl+S and checks that the image differs from `before` exactly at
# the offsets given.
checkSaved() {
    local what=$1 expected
    shift
    expected=$(hex "$@")
    xdotool key ctrl+s
    if ! waitUntil 10 savedAsExpected "$scratch/before.smc" "$expected"; then
        fail "$what: the saved file differs at" \
            "[$(differences "$scratch/before.smc" "$scratch/demo.smc")], expected [$expected]"
    fi
}
# A value for the byte at `offset` of `before` that differs from it.
otherValue() { echo $((($(byteAt "$scratch/before.smc" "$1") + 1) % 100)); }

# An editor brought forward by its Tools item keeps the focus where it was
# left: in the enemy list, and in the damage table editor's Armor 2.
restartOnImage
health=$(otherValue $((enemyHealth + 2)))
armour2=$(otherValue $((damageTable + 1)))
toolsItem e
xdotool key --delay 20 Tab Tab Tab Down # the list, slot 01
toolsItem d
toolsItem e
xdotool key --delay 20 Down Tab Tab ctrl+a # slot 02, its health
xdotool type "$health"
toolsItem d
xdotool key Tab # Armor 2 of set 0
toolsItem e
toolsItem d
xdotool key ctrl+a
xdotool type "$armour2"
checkSaved "focus after Tools items: health $health for slot 02, $armour2 for Armor 2 of set 0" \
    $((enemyHealth + 2)) $((damageTable + 1))

# Sets above 9: slot 02's damage byte is given set 13 through the health of
# slot F5 (the same byte); Up and Down in its set box step to 9 and back to 13.
restartOnImage
highSet=$((0x8D))
[ "$(byteAt "$scratch/before.smc" $((enemyDamage + 2)))" != "$highSet" ] || highSet=$((0x9D))
toolsItem e
xdotool key --delay 20 Tab Tab Tab End
for ((slot = 255; slot > 0xF5; slot--)); do xdotool key Up; done
xdotool key --delay 20 Tab Tab ctrl+a
xdotool type "$highSet"
xdotool key --delay 20 shift+Tab shift+Tab Home Down Down Tab Up Down Down Up Down
checkSaved "set 13 stepped Up, Down, Down, Up, Down" $((enemyDamage + 2))
if [ "$(byteAt "$scratch/demo.smc" $((enemyDamage + 2)))" != "$highSet" ]; then
    fail "set 13 stepped Up, Down, Down, Up, Down: slot 02's damage byte is" \
        "$(byteAt "$scratch/demo.smc" $((enemyDamage + 2))), expected $highSet"
fi

# Typed set texts are never taken: not by Enter, and not when the editor is
# shown again by its Tools item. The enemy editor's Down then steps from the
# set in use; the damage table editor's values go into set 0, the set shown.
restartOnImage
set0=$(($(byteAt "$scratch/before.smc" "$enemyDamage") & 0x0F))
toolsItem e
xdotool key --delay 20 Tab Tab Tab Tab ctrl+a # slot 00's set box
xdotool type 12
xdotool key --delay 20 Return Up
toolsItem d
xdotool key --delay 20 Tab Tab Tab ctrl+a # the set box
xdotool type 5
toolsItem d
armour3=$(otherValue $((damageTable + 2)))
xdotool key --delay 20 shift+Tab ctrl+a
xdotool type "$armour3"
xdotool key --delay 20 Tab ctrl+a
xdotool type 300
xdotool key Return
toolsItem d
armour2=$(otherValue $((damageTable + 1)))
xdotool key --delay 20 shift+Tab shift+Tab ctrl+a
xdotool type "$armour2"
expected=($((damageTable + 1)) $((damageTable + 2)))
((set0 == 0)) || expected+=($((enemyDamage)))
checkSaved "typed sets 12, 5 and 300, then Up in the enemy editor and Armor 3, Armor 2" \
    "${expected[@]}"

# About: neither the Motif hints nor the window manager offer minimise or
# maximise. (openbox 3.6 still draws both buttons whatever the hints say; its
# maximise button does nothing while the action is not allowed.)
openMenuBy alt+h >/dev/null || giveUp "Alt+H did not open the Help menu"
xdotool key a
aboutUp() { about=$(namedWindow About) && [ -n "$about" ] && isViewable "$about"; }
if waitUntil 10 aboutUp; then
    # flags, functions, decorations: bit 1 of the flags makes the functions
    # count, bit 2 the decorations; 1 in either is "all".
    read -r -a motif <<<"$(xprop -id "$about" _MOTIF_WM_HINTS | sed 's/.*= //; s/,/ /g')"
    if ((${#motif[@]} < 3 || !(motif[0] & 1) || (motif[1] & (0x01 | 0x08 | 0x10)) ||
        ((motif[0] & 2) && (motif[2] & (0x01 | 0x20 | 0x40))))); then
        fail "About: _MOTIF_WM_HINTS offer minimise or maximise: ${motif[*]}"
    fi
    if xprop -id "$about" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE; then
        fail "About: the window manager allows maximise:" \
            "$(xprop -id "$about" _NET_WM_ALLOWED_ACTIONS)"
    fi
    xdotool key Return # "ok" has the focus
    waitUntil 10 eval '! isViewable "$about"' || fail "Enter on ok did not close About"
else
    fail "Alt+H, A did not bring up the About window"
fi

# --- Value boxes: a retyped health, a refused letter, a cleared box that is left ---
# Starts from freshly opened editors on a freshly saved image; every edit goes
# through the keyboard, and the saved file is compared byte by byte.
valueFile="$scratch/demo.smc"
modifiedAt() { stat -c %.9Y "$valueFile"; }
modifiedSince() { [ "$(modifiedAt)" != "$1" ]; }
# Ctrl+S, then waits until the save has reached the file (Save always writes).
saveByKeys() {
    local before
    before=$(modifiedAt)
    xdotool key ctrl+s
    waitUntil 10 modifiedSince "$before"
}
readonly retypedSlot=20 armour2Typed=47
saveByKeys || fail "value boxes: Ctrl+S did not save the edits made before"
cp "$valueFile" "$scratch/before-value-boxes.smc"
# Ctrl+W closes the active editor; more presses than editors close nothing else.
xdotool key --delay 50 ctrl+w ctrl+w ctrl+w
openMenuBy alt+t >/dev/null || giveUp "Alt+T did not open the Tools menu"
xdotool key e # Enemy Stat Editor, with the focus on its third damage box
waitUntil 5 noPopup || fail "E in the Tools menu left a menu open"
xdotool key --delay 20 Tab Tab Tab Home
for ((slot = 0; slot < retypedSlot; slot++)); do xdotool key Down; done
# Tab into the health box selects its text: 55 makes it hold 55, then the
# user retypes it as 60.
xdotool key --delay 20 Tab Tab
xdotool type 55
xdotool key --delay 20 End BackSpace BackSpace
xdotool type 60
openMenuBy alt+t >/dev/null || giveUp "Alt+T did not open the Tools menu"
xdotool key d # Damage Table Editor, set 0, with the focus on Armor 1
waitUntil 5 noPopup || fail "D in the Tools menu left a menu open"
# A letter over Armor 1's value is refused; Armor 2 is set to 47, cleared and
# left, then entered again: End and BackSpace leave 4 only if it shows 47.
xdotool key ctrl+a
xdotool type x
xdotool key Tab
xdotool type "$armour2Typed"
xdotool key --delay 20 Tab shift+Tab BackSpace Tab shift+Tab End BackSpace
saveByKeys || fail "value boxes: Ctrl+S did not save"

expected=()
[ "$(byteAt "$scratch/before-value-boxes.smc" $((enemyHealth + retypedSlot)))" = 60 ] ||
    expected+=($((enemyHealth + retypedSlot)))
[ "$(byteAt "$scratch/before-value-boxes.smc" $((damageTable + 1)))" = 4 ] ||
    expected+=($((damageTable + 1)))
expected=$(if ((${#expected[@]})); then hex "${expected[@]}"; fi)
changed=$(differences "$scratch/before-value-boxes.smc" "$valueFile") || true
if [ "$changed" != "$expected" ] || [ "$(byteAt "$valueFile" $((enemyHealth + retypedSlot)))" != 60 ] ||
    [ "$(byteAt "$valueFile" $((damageTable + 1)))" != 4 ]; then
    fail "value boxes: after 55, End, BackSpace, BackSpace, 60 in slot $retypedSlot's health," \
        "x over set 0's Armor 1, and $armour2Typed, cleared, left, End, BackSpace in its Armor 2," \
        "the file differs at [$changed], expected [$expected]; health" \
        "$(byteAt "$valueFile" $((enemyHealth + retypedSlot))) (expected 60), Armor 1" \
        "$(byteAt "$valueFile" $((damageTable)))" \
        "(was $(byteAt "$scratch/before-value-boxes.smc" $((damageTable)))), Armor 2" \
        "$(byteAt "$valueFile" $((damageTable + 1))) (expected 4)"
fi

# --- Undo, redo, unsaved edits, another program's changes, closing ---
# Each check below starts a new run of the program on a fresh copy of the
# demo image, named on its command line, and reads what the program shows: the
# title, the questions (by their titles), the value boxes (copied), the file.
quitByMenu
# Starts the program on `$scratch/NAME.smc`, a copy of the demo image; its
# standard error goes to NAME.err.
startOn() {
    name=$1
    image="$scratch/$name.smc"
    cp "$scratch/original.smc" "$image"
    QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$scratch/config" "$program" "$image" \
        >>"$scratch/program.log" 2>"$scratch/$name.err" &
    run=$!
    pids+=("$run")
    waitUntil 20 mainWindowUp "$name.smc - Tarvon Add-ons" ||
        giveUp "\"tarvon-addons $name.smc\" did not show a window titled \"$name.smc - Tarvon Add-ons\""
    waitUntil 10 hasFocus "$main" || giveUp "the main window on $name.smc did not get the focus"
}
unsaved() { titleIs "$name.smc* - Tarvon Add-ons"; }
saved() { titleIs "$name.smc - Tarvon Add-ons"; }
# Opens the enemy editor and puts the focus in the health box of `slot`.
healthBoxOf() {
    local slot
    toolsItem e
    xdotool key --delay 20 Tab Tab Tab Home # the list, slot 00
    for ((slot = 0; slot < $1; slot++)); do xdotool key Down; done
    xdotool key --delay 20 Tab Tab
}
# Has tarvon-tables import set the health of `slot` in the image to `value`,
# as another program does while the editor has the image open.
importHealth() {
    "$tables" export "$image" -o "$scratch/export.csv"
    awk -F, -v OFS=, -v row=$(($1 + 2)) -v value="$2" 'NR == row { $3 = value } { print }' \
        "$scratch/export.csv" >"$scratch/import.csv"
    "$tables" import "$image" "$scratch/import.csv" >/dev/null 2>"$scratch/import.log" ||
        giveUp "tarvon-tables import of health $2 for slot $(printf %02X "$1") failed:" \
            "$(cat "$scratch/import.log")"
}
# Ctrl+S, then waits until the save has reached the file.
saveImage() {
    local before
    before=$(stat -c %.9Y "$image")
    xdotool key ctrl+s
    waitUntil 10 eval '[ "$(stat -c %.9Y "$image")" != "$before" ]'
}
# The table entries in which the image differs from the demo image, one a
# line, in tarvon-tables diff's words.
tableChanges() { "$tables" diff "$scratch/original.smc" "$image" | sort || true; }
healthAt() { byteAt "$image" $((enemyHealth + $1)); }

# Undo and redo with the focus in the box typed into: Ctrl+Z shows the old
# health, in the box and, once saved, in the file; Ctrl+Y brings the new one back.
startOn undo
readonly undoSlot=$((0x0A))
oldHealth=$(healthAt $undoSlot)
newHealth=$(((oldHealth + 23) % 256))
healthBoxOf $undoSlot
xdotool type "$newHealth"
waitUntil 5 unsaved || fail "undo: after typing health $newHealth the title is \"$(title)\", expected a *"
xdotool key ctrl+z
waitUntil 2 boxShows "$oldHealth" ||
    fail "undo: Ctrl+Z in slot 0A's health box after typing $newHealth: the box shows $shown," \
        "expected $oldHealth"
waitUntil 2 saved || fail "undo: after Ctrl+Z the title is \"$(title)\", expected no *"
saveImage || fail "undo: Ctrl+S after Ctrl+Z did not save"
cmp -s "$scratch/original.smc" "$image" ||
    fail "undo: the file saved after typing $newHealth and Ctrl+Z differs from the demo image at" \
        "[$(differences "$scratch/original.smc" "$image")]"
xdotool key ctrl+y
waitUntil 2 boxShows "$newHealth" ||
    fail "undo: Ctrl+Y after Ctrl+Z in slot 0A's health box: the box shows $shown, expected $newHealth"
waitUntil 2 unsaved || fail "undo: after Ctrl+Y the title is \"$(title)\", expected a *"
saveImage || fail "undo: Ctrl+S after Ctrl+Y did not save"
if [ "$(differences "$scratch/original.smc" "$image")" != "$(hex $((enemyHealth + undoSlot)))" ] ||
    [ "$(healthAt $undoSlot)" != "$newHealth" ]; then
    fail "undo: the file saved after Ctrl+Y differs from the demo image at" \
        "[$(differences "$scratch/original.smc" "$image")], slot 0A's health is" \
        "$(healthAt $undoSlot), expected only that, $newHealth"
fi
quitByMenu

# Live views, then closing: with both editors open on slot 00's set, a value
# typed into the damage table editor shows in the enemy editor, reached by
# Ctrl+Tab (a Tools item would show memory anyway). That edit unsaved,
# Alt+F4 asks; Escape keeps the program open; Alt+F4 and Enter (Save) save
# and end it.
startOn live
liveSet=$(lowBits 0)
((liveSet <= 9)) || giveUp "live views: slot 00 of the demo image has set $liveSet, not one of 0 to 9"
liveValue=$((($(byteAt "$image" $((damageTable + 3 * liveSet + 1))) + 5) % 100))
toolsItem e
xdotool key Tab # Armor 2 of slot 00's set
toolsItem d
xdotool key --delay 20 Tab Tab Tab # the set box, at set 0
for ((step = 0; step < liveSet; step++)); do xdotool key Down; done
xdotool key --delay 20 shift+Tab shift+Tab ctrl+a # Armor 2
xdotool type "$liveValue"
waitUntil 5 unsaved || fail "live views: after typing $liveValue the title is \"$(title)\", expected a *"
xdotool key ctrl+Tab
waitUntil 1 boxShows "$liveValue" ||
    fail "live views: $liveValue typed into Armor 2 of set $liveSet in the damage table editor;" \
        "the enemy editor's Armor 2 for slot 00 (set $liveSet) shows $shown"
xdotool key alt+F4
if waitUntil 5 questionUp "Tarvon Add-ons"; then
    xdotool key Escape
    waitUntil 5 questionGone "Tarvon Add-ons" || fail "closing: Escape did not answer the question"
    hasEnded "$run" && giveUp "closing: Escape at the question ended the program"
    if ! isViewable "$main" || ! unsaved; then
        fail "closing: after Escape the main window is gone or its title is \"$(title)\"," \
            "expected \"$name.smc* - Tarvon Add-ons\""
    fi
    cmp -s "$scratch/original.smc" "$image" || fail "closing: Escape at the question saved"
else
    giveUp "closing: Alt+F4 with an unsaved edit asked nothing (the window with the focus is" \
        "\"$(focusedWindow)\", the program has $(hasEnded "$run" && echo ended || echo "not ended"))"
fi
xdotool key alt+F4
waitUntil 5 questionUp "Tarvon Add-ons" || giveUp "closing: the second Alt+F4 asked nothing"
xdotool key Return
waitForEnd 10 || giveUp "closing: Enter (Save) at the question did not end the program"
((status == 0)) || fail "closing: Save at the question ended the program with status $status"
wanted="armor2 set $liveSet: $(byteAt "$scratch/original.smc" $((damageTable + 3 * liveSet + 1))) -> $liveValue"
[ "$(tableChanges)" = "$wanted" ] ||
    fail "closing: after Save at the question the tables differ by [$(tableChanges | paste -sd';')]," \
        "expected [$wanted]"

# A stop signal while the closing question shows: the program ends with status
# 128 + 15, says that unsaved edits were discarded, and leaves the file alone.
startOn stop
healthBoxOf $((0x0B))
xdotool type "$((($(healthAt $((0x0B))) + 1) % 256))"
waitUntil 5 unsaved || fail "stop signal: after typing a health the title is \"$(title)\", expected a *"
xdotool key alt+F4
waitUntil 5 questionUp "Tarvon Add-ons" || fail "stop signal: Alt+F4 with an unsaved edit asked nothing"
kill -TERM "$run"
waitForEnd 10 || giveUp "stop signal: SIGTERM while the closing question showed did not end the program"
((status == 143)) || fail "stop signal: SIGTERM ended the program with status $status, expected 143"
grep -qx 'tarvon-addons: stopped by signal 15; unsaved edits were discarded' "$scratch/stop.err" ||
    fail "stop signal: standard error does not say that unsaved edits were discarded:" \
        "$(paste -sd'|' "$scratch/stop.err")"
cmp -s "$scratch/original.smc" "$image" || fail "stop signal: the file was changed"

# Another program's change while the editor is open: an import of slot 0B's
# health shows in its box within a second and leaves no * in the title. Then
# an edit of slot 0C's health, an import of slot 0D's and Ctrl+S keep all
# three without a question.
startOn outside
readonly takenSlot=$((0x0B)) editedSlot=$((0x0C)) keptSlot=$((0x0D))
taken=$((($(healthAt $takenSlot) + 41) % 256))
edited=$((($(healthAt $editedSlot) + 42) % 256))
kept=$((($(healthAt $keptSlot) + 43) % 256))
healthBoxOf $takenSlot
importHealth $takenSlot $taken
importEnded=${EPOCHREALTIME/./}
if waitUntil 3 boxShows "$taken"; then
    took=$(((${EPOCHREALTIME/./} - importEnded) / 1000))
    ((took <= 1000)) || fail "another program: slot 0B's health box showed the import's $taken" \
        "only after $took ms"
else
    fail "another program: after tarvon-tables import set slot 0B's health to $taken, its box shows $shown"
fi
saved || fail "another program: after the import the title is \"$(title)\", expected no *"
xdotool key --delay 20 shift+Tab shift+Tab Down Tab Tab # slot 0C's health
xdotool type "$edited"
waitUntil 5 unsaved || fail "another program: after typing $edited the title is \"$(title)\", expected a *"
importHealth $keptSlot $kept
saveImage || fail "another program: Ctrl+S did not save"
questionGone Warning && hasFocus "$main" ||
    giveUp "another program: Ctrl+S after an import of another value asked (\"$(focusedWindow)\")"
wanted=$(printf 'health %02X: %s -> %s\n' \
    $takenSlot "$(byteAt "$scratch/original.smc" $((enemyHealth + takenSlot)))" $taken \
    $editedSlot "$(byteAt "$scratch/original.smc" $((enemyHealth + editedSlot)))" $edited \
    $keptSlot "$(byteAt "$scratch/original.smc" $((enemyHealth + keptSlot)))" $kept)
[ "$(tableChanges)" = "$wanted" ] ||
    fail "another program: after import, edit, import and Ctrl+S the tables differ by" \
        "[$(tableChanges | paste -sd';')], expected [$(paste -sd';' <<<"$wanted")]"
waitUntil 2 saved || fail "another program: after Save the title is \"$(title)\", expected no *"
quitByMenu

# A conflict: the user and an import change slot 0E's health to different
# values. Ctrl+S shows the Warning question; Keep Mine writes the typed value,
# and in a second round Take Theirs writes the import's, which the box then shows.
startOn conflict
readonly conflictSlot=$((0x0E))
healthBoxOf $conflictSlot
# Types `mine`, waits until the program holds it, imports `theirs`, Ctrl+S;
# answers the question with `key` and checks that the file holds `written`.
conflictRound() {
    local mine=$1 theirs=$2 key=$3 answer=$4 written=$5
    xdotool key ctrl+a
    xdotool type "$mine"
    waitUntil 5 unsaved || fail "conflict: after typing $mine the title is \"$(title)\", expected a *"
    importHealth $conflictSlot "$theirs"
    xdotool key ctrl+s
    waitUntil 10 questionUp Warning ||
        giveUp "conflict: Ctrl+S with $mine typed and $theirs imported into slot 0E's health did" \
            "not ask (the window with the focus is \"$(focusedWindow)\")"
    xdotool key "$key"
    waitUntil 5 questionGone Warning || giveUp "conflict: $answer did not answer the question"
    if ! waitUntil 10 eval '[ "$(healthAt $conflictSlot)" = "$written" ]'; then
        fail "conflict: $answer wrote $(healthAt $conflictSlot) into slot 0E's health," \
            "expected $written (typed $mine, imported $theirs)"
    fi
    [ "$(differences "$scratch/original.smc" "$image")" = "$(hex $((enemyHealth + conflictSlot)))" ] ||
        fail "conflict: after $answer the file differs from the demo image at" \
            "[$(differences "$scratch/original.smc" "$image")], expected slot 0E's health only"
    waitUntil 2 boxShows "$written" ||
        fail "conflict: after $answer slot 0E's health box shows $shown, expected $written"
    waitUntil 2 saved || fail "conflict: after $answer the title is \"$(title)\", expected no *"
}
conflictHealth=$(healthAt $conflictSlot)
conflictRound $(((conflictHealth + 60) % 256)) $(((conflictHealth + 70) % 256)) alt+k "Keep Mine" \
    $(((conflictHealth + 60) % 256))
conflictRound $(((conflictHealth + 80) % 256)) $(((conflictHealth + 90) % 256)) alt+t "Take Theirs" \
    $(((conflictHealth + 90) % 256))
quitByMenu

# The enemy table: Ctrl+F and a name keep enemies 10 to 1F; a click on the
# Health heading sorts them by health; a health typed into the first row and
# Enter, another into the new first row, Ctrl+Z and Ctrl+S leave the file
# changed at the first health only. Then set 12 typed into an enemy's Damage
# Set cell is stored with the damage byte's upper four bits kept.
startOn table
damageAt() { byteAt "$image" $((enemyDamage + $1)); }
# The slots 10 to 1F in the order a sort by health shows them, alike in slot
# order; `$1` and `$2`, if given, a slot and the health it has now.
byHealth() {
    local slot
    for ((slot = 0x10; slot <= 0x1F; slot++)); do
        printf '%d %02X\n' "$( ((slot == ${1:--1})) && echo "$2" || healthAt $slot)" $slot
    done | sort -k1,1n -k2,2 | awk '{ print $2 }'
}
# Copies the selected cells of the table into `shown`.
copyCell() {
    printf '%s' "$noCopy" | xclip -selection clipboard >/dev/null 2>&1
    waitUntil 2 clipboardHolds "$noCopy" || return 1
    xdotool key ctrl+c
    waitUntil 2 eval '! clipboardHolds "$noCopy"' && shown=$(clipboard)
}
# The top left corner of the context menu that the menu key opens on the
# table's current cell, the cell's centre, into `cornerX` and `cornerY`.
menuCorner() {
    local menu
    menu=$(openMenuBy Menu) || giveUp "enemy table: the menu key opened no context menu"
    cornerX=$(windowField "$menu" 'Absolute upper-left X')
    cornerY=$(windowField "$menu" 'Absolute upper-left Y')
    closeMenus
}
toolsItem t
xdotool key ctrl+f
xdotool type --delay 30 "enemy 1"
# Tab leads from the filter to the table (All Sets is disabled).
xdotool key --delay 20 Tab Page_Up Home Right Right # the first row's health
menuCorner
firstX=$cornerX firstY=$cornerY
xdotool key Down
menuCorner
clickAt "$firstX" $((2 * firstY - cornerY)) # the Health heading, a row above
# Page Up and Home select the first row's slot, as Ctrl+Home would not (it
# moves without selecting); the 16 rows are less than a page.
xdotool key --delay 20 Page_Up Home
order=($(byHealth))
copyCell && [ "$shown" = "${order[0]}" ] ||
    giveUp "enemy table: after \"enemy 1\" in the filter and a click on the Health heading the" \
        "first row is slot $shown, expected ${order[0]} (by health: ${order[*]})"
firstSlot=$((16#${order[0]}))
typedHealth=255
((typedHealth != $(healthAt $firstSlot))) || typedHealth=254
xdotool key --delay 20 Right Right
xdotool type "$typedHealth"
xdotool key Return
order=($(byHealth $firstSlot $typedHealth))
xdotool key --delay 20 Page_Up Home Right Right
xdotool type "$(((typedHealth + 1) % 256))" # into the new first row, then undone
xdotool key --delay 20 Return ctrl+z
saveImage || fail "enemy table: Ctrl+S did not save"
expected=$(hex $((enemyHealth + firstSlot)))
if [ "$(differences "$scratch/original.smc" "$image")" != "$expected" ] ||
    [ "$(healthAt $firstSlot)" != "$typedHealth" ]; then
    fail "enemy table: after $typedHealth typed into slot $(printf %02X $firstSlot)'s health," \
        "another health into slot ${order[0]}'s, Ctrl+Z and Ctrl+S the file differs at" \
        "[$(differences "$scratch/original.smc" "$image")] with health $(healthAt $firstSlot)," \
        "expected [$expected] with $typedHealth"
fi
cp "$image" "$scratch/table-saved.smc"
setSlot=0x20
while (((($(damageAt $setSlot) & 0xF0) == 0 || ($(damageAt $setSlot) & 0x0F) == 12))); do
    setSlot=$((setSlot + 1))
done
xdotool key ctrl+f
xdotool type --delay 30 "$(printf 'Enemy %02X' $setSlot)"
xdotool key --delay 20 Tab Page_Up Home Right Right Right # its damage set
xdotool type 12
xdotool key Return
saveImage || fail "enemy table: Ctrl+S after set 12 did not save"
wantedByte=$((($(byteAt "$scratch/table-saved.smc" $((enemyDamage + setSlot))) & 0xF0) | 12))
if [ "$(differences "$scratch/table-saved.smc" "$image")" != "$(hex $((enemyDamage + setSlot)))" ] ||
    [ "$(damageAt $setSlot)" != "$wantedByte" ]; then
    fail "enemy table: set 12 typed into slot $(printf %02X $setSlot)'s Damage Set cell: the file" \
        "differs at [$(differences "$scratch/table-saved.smc" "$image")] with the damage byte" \
        "$(damageAt $setSlot), expected only that byte, $wantedByte (upper bits kept)"
fi
quitByMenu

if ((failures)); then
    echo "real-input-check: $failures check(s) failed" >&2
    exit 1
fi
echo "real-input-check: all checks passed"
