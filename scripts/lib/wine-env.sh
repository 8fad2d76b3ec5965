# shellcheck shell=bash
# What every Wine run of the checks shares, sourced before the first one:
# none of Wine's own messages, no Mono or Gecko prompts, no menu entries on
# the desktop, and no TMPDIR, which makes Debian 13's Wine 10 abort ("free():
# invalid pointer") whatever it names. WINEPREFIX is each caller's own.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset TMPDIR
