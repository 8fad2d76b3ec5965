# shellcheck shell=bash
# A real X server for the checks that drive a program as a person does: Xvfb
# with the openbox window manager. Sourced by real-input-check.sh and
# windows-smoke.sh.

# Waits up to $1 seconds for the command after it to succeed.
waitUntil() {
    local seconds=$1 tries
    shift
    for ((tries = seconds * 20; tries > 0; tries--)); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# Starts Xvfb with a screen of $1 (WIDTHxHEIGHT) on the first free display, or
# on TARVON_CHECK_DISPLAY, and openbox on it, keeping their files in the folder
# $2. Exports DISPLAY and sets xvfbPid and openboxPid; fails with a reason when
# either is not up within 10 seconds.
# shellcheck disable=SC2034 # the pids are for the scripts that source this one
startDisplay() {
    local size=$1 folder=$2 asked=${TARVON_CHECK_DISPLAY:-}
    Xvfb ${asked:+":${asked#:}"} -displayfd 3 -screen 0 "${size}x24" -nolisten tcp \
        3>"$folder/display" 2>/dev/null &
    xvfbPid=$!
    waitUntil 10 test -s "$folder/display" || { echo "Xvfb did not start" >&2; return 1; }
    DISPLAY=":$(head -n1 "$folder/display")"
    export DISPLAY
    # Openbox runs the start-up command once it manages windows; a window
    # mapped before then may be left unmapped.
    openbox --sm-disable --startup "touch $folder/openbox-ready" >/dev/null 2>&1 &
    openboxPid=$!
    waitUntil 10 test -e "$folder/openbox-ready" || { echo "openbox did not start" >&2; return 1; }
}
