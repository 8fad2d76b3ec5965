#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the suite, then the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzers.
set -euo pipefail
# English, whatever the developer's language, locale or desktop theme.
export LANGUAGE= LC_ALL=C.UTF-8 QT_QPA_PLATFORMTHEME=
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
TARVON_TEST_TOOLS=1 bash scripts/setup.sh

echo "== test suite"
ctest --preset default -j2

echo "== test suite under ASan + UBSan"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j2

echo "== fuzzers, about 30 seconds each"
bash scripts/fuzz.sh

echo "== package: lintian, desktop entry, metainfo, unpacked program"
bash scripts/package-check.sh build
