#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine, as ctest and the build
# run the programs they made: in the prefix WINEPREFIX (made on first use),
# with Wine's own messages and its Mono and Gecko prompts off, and with the
# QT_ variables of its environment (QT_QPA_PLATFORM). A Qt Test
# program under Wine writes nothing to a pipe, so its report goes to the file
# named by "-o FILE,txt", which is shown here after it ends.
set -uo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=${WINEPREFIX:?}
# Wine hands a Windows program none of the host's QT_ variables, which are
# meant for the host's Qt; WINEQT_ ones reach it as QT_.
for name in "${!QT_@}"; do
    export "WINE$name=${!name}"
done
# The prefix draws windows nowhere, with Wine's null display driver: the GUI
# tests need no X display, as on Qt's offscreen platform elsewhere.
if [[ ! -f $WINEPREFIX/.null-display ]]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null &&
        touch "$WINEPREFIX/.null-display"
fi
report=""
arguments=("$@")
for ((i = 0; i < ${#arguments[@]} - 1; ++i)); do
    if [[ ${arguments[i]} == -o && ${arguments[i + 1]} == *,txt ]]; then
        report=${arguments[i + 1]%,txt}
        rm -f "$report"
    fi
done
wine "$@"
status=$?
[[ -n $report && -f $report ]] && cat "$report"
exit $status
