#!/usr/bin/env bash
# Fails when a translation is behind the code: lupdate reads the sources into
# a copy of every .ts file, and any entry left unfinished, new or gone fails.
#   check-translations.sh LUPDATE SOURCE_DIR
set -euo pipefail
lupdate=$1
cd "$2"
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
status=0
for ts in translations/*.ts; do
    cp "$ts" "$copy/"
    # English holds only the plural forms of its own source texts.
    only=()
    [[ $ts != */tarvon_en.ts ]] || only=(-pluralonly)
    "$lupdate" -silent -locations none "${only[@]}" ui app -ts "$copy/${ts##*/}"
    if grep -nE 'type="(unfinished|vanished|obsolete)"' "$copy/${ts##*/}" >&2; then
        echo "check-translations: $ts is behind the code; run lupdate and translate" >&2
        status=1
    fi
done
exit $status
