#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine, as ctest and the build
# run the programs they made: in the prefix WINEPREFIX (made on first use),
# in the environment of lib/wine-env.sh, and with the QT_ variables of its
# environment (QT_QPA_PLATFORM). A Qt Test program under Wine writes nothing
# to a pipe, so its report goes to the file named by "-o FILE,txt", which is
# shown here after it ends.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX=${WINEPREFIX:?}
# Wine hands a Windows program none of the host's QT_ variables, which are
# meant for the host's Qt; WINEQT_ ones reach it as QT_.
for name in "${!QT_@}"; do
    export "WINE$name=${!name}"
done
# The prefix draws windows nowhere, with Wine's null display driver: the GUI
# tests need no X display, as on Qt's offscreen platform elsewhere. Wine has
# no Arial, the dialogs' font on Windows: the prefix draws it in Liberation
# Sans, which has Arial's widths, so that the tests measure texts as Windows
# lays them out. Wine's desktop reads the driver when it starts, and the first
# program of a new prefix starts one: so the run that makes the prefix waits
# until the prefix's programs have ended, and the runs beside it (ctest -j2)
# wait for it.
setUpPrefix() {
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f &&
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v Arial /d 'Liberation Sans' /f &&
        wineserver -w
}
(
    flock 9
    if [[ ! -f $WINEPREFIX/.prepared ]]; then
        setUpPrefix 9>&- >/dev/null 2>&1 && touch "$WINEPREFIX/.prepared"
    fi
) 9>"$WINEPREFIX.lock"
report=""
arguments=("$@")
for ((i = 0; i < ${#arguments[@]} - 1; ++i)); do
    if [[ ${arguments[i]} == -o && ${arguments[i + 1]} == *,txt ]]; then
        report=${arguments[i + 1]%,txt}
        rm -f "$report"
    fi
done
# The processes that serve the prefix (Wine's server, desktop and services)
# start with the first program of a session and keep its error output until
# the session ends: were that ctest's pipe, ctest would wait for them, past the
# test's end. So the program's output reaches the caller through a file.
output=$(mktemp)
wine "$@" >"$output" 2>&1
status=$?
cat "$output"
rm -f "$output"
[[ -n $report && -f $report ]] && cat "$report"
exit $status
