#!/usr/bin/env bash
# The Windows check: builds both programs and the test suite for Windows
# (scripts/windows-build.sh --tests), then, under Wine, runs the suite, the
# editor's smoke test on Xvfb and the installer's check.
set -euo pipefail
cd "$(dirname "$0")/.."
export LANGUAGE='' LC_ALL=C.UTF-8 QT_QPA_PLATFORMTHEME=''
# Wine's prefix stays in a scratch folder of this run; the suite runs
# headless, with no session bus to start.
scratch=$(mktemp -d)
source scripts/lib/wine-env.sh
trap 'WINEPREFIX=$scratch/prefix wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
export WINEPREFIX=$scratch/prefix
unset DISPLAY DBUS_SESSION_BUS_ADDRESS

echo "== Windows build"
bash scripts/windows-build.sh --tests

echo "== test suite under Wine"
ctest --test-dir build-windows -j2 --output-on-failure

echo "== the editor under Wine, keys only"
bash scripts/windows-smoke.sh build-windows

echo "== the installer under Wine"
bash scripts/windows-installer-check.sh build-windows
echo "windows-check: all passed"
