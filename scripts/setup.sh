#!/usr/bin/env bash
# Installs whatever the build and the tests need that is missing, then
# configures and builds the editor in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make ninja-build qt6-base-dev libgl-dev libbenchmark-dev
          fonts-liberation2 fontconfig)
if [[ ${TARVON_TEST_TOOLS:-0} == 1 ]]; then
    packages+=(clang libclang-rt-14-dev strace xvfb xauth imagemagick
               lintian desktop-file-utils appstream dpkg-dev file xdotool)
    packages+=(openbox x11-utils) # a window manager and xwininfo, for the real-input check
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=""
    [[ $(id -u) == 0 ]] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset default >/dev/null
cmake --build --preset default
