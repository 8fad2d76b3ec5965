#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine, as ctest and the build
# run the programs they made: in the prefix WINEPREFIX (made on first use),
# with Wine's own messages and its Mono and Gecko prompts off. A Qt Test
# program under Wine writes nothing to a pipe, so its report goes to the file
# named by "-o FILE,txt", which is shown here after it ends.
set -uo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=${WINEPREFIX:?}
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
