#!/usr/bin/env bash
# Makes the Windows programs on Debian 12 or 13, as root or with sudo:
# installs what is missing, builds Debian's own Qt source for 64-bit Windows
# once (scripts/windows-qt.sh; later runs reuse it), cross-builds both
# programs statically into build-windows/bin, and packs
#
#   build-windows/tarvon-addons-setup.exe     the installer
#   build-windows/tarvon-addons-windows.zip   the programs without installing
#
# With --tests it builds the test suite too, to be run under Wine by
# scripts/windows-check.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

tests=OFF
[[ ${1:-} == --tests ]] && tests=ON

# The posix-thread compilers have std::thread and std::mutex. The host's Qt
# tools (moc, rcc, uic, lupdate) and translations serve the cross-build.
install_missing g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools \
    cmake ninja-build dpkg-dev qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n \
    wine wine64 fonts-wine fonts-liberation2 nsis libgl-dev xvfb xauth openbox xdotool >&2
# Under Wine the suite's Japanese texts need a font that has them, as Windows
# has its own.
[[ $tests == ON ]] && install_missing fonts-noto-cjk >&2

qt=$(bash scripts/windows-qt.sh)
version=$(sed -n 's/^project(TarvonAddons VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
export WINEPREFIX=${WINEPREFIX:-$PWD/build-windows/wine}
# Qt's own toolchain file loads cmake/mingw-w64-x86_64.cmake, with which Qt
# was built, and finds the Windows Qt and the host's tools.
cmake -S . -B build-windows -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/lib/wine-run.sh" \
    -DTARVON_BUILD_TESTS=$tests >/dev/null
cmake --build build-windows
x86_64-w64-mingw32-strip build-windows/bin/tarvon-addons.exe build-windows/bin/tarvon-tables.exe
bash packaging/windows/make-packages.sh build-windows "$version"
echo "windows-build.sh: made build-windows/tarvon-addons-setup.exe and build-windows/tarvon-addons-windows.zip"
