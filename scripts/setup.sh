#!/usr/bin/env bash
# Installs whatever the build and the tests need that is missing, then
# configures and builds the editor in build/. Works on Debian 12 and 13: no
# package name carries a fixed compiler version.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make ninja-build qt6-base-dev qt6-tools-dev qt6-l10n-tools libgl-dev
          libbenchmark-dev fonts-liberation2 fontconfig)
if [[ ${TARVON_TEST_TOOLS:-0} == 1 ]]; then
    packages+=(clang strace xvfb xauth imagemagick
               lintian desktop-file-utils appstream dpkg-dev file xdotool
               xdg-utils shared-mime-info libfile-mimeinfo-perl)
    # Qt's own translations and a font with Japanese glyphs, for the rows per language.
    packages+=(qt6-translations-l10n fonts-noto-cjk)
    # A window manager, xwininfo and a clipboard reader, for the real-input check.
    packages+=(openbox x11-utils xclip)
fi

source scripts/lib/packages.sh

install_missing "${packages[@]}"
if [[ ${TARVON_TEST_TOOLS:-0} == 1 ]]; then
    # The fuzzers link clang's runtime of the same major version as clang.
    clang_major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p')
    install_missing "libclang-rt-$clang_major-dev"
fi

cmake --preset default >/dev/null
cmake --build --preset default
