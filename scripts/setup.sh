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

sudo=""
[[ $(id -u) == 0 ]] || sudo=sudo

# Another install running holds apt's locks. Installs wait up to five minutes
# for the package lock; `update` takes the lists lock, for which apt does not
# wait, so it is tried again every 5 seconds for up to five minutes.
update_package_lists() {
    local deadline=$((SECONDS + 300)) output
    until output=$($sudo env LC_ALL=C apt-get -o Acquire::Retries=3 update -q 2>&1); do
        if ! grep -q 'Could not get lock' <<<"$output" || ((SECONDS >= deadline)); then
            printf '%s\n' "$output" >&2
            return 1
        fi
        echo "setup.sh: another program holds apt's package lists; waiting" >&2
        sleep 5
    done
    printf '%s\n' "$output"
}

updated=0
# Installs those of the given packages that are not installed yet.
install_missing() {
    local package missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    ((updated)) || update_package_lists
    updated=1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o Acquire::Retries=3 -o DPkg::Lock::Timeout=300 \
        install -y -q --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
if [[ ${TARVON_TEST_TOOLS:-0} == 1 ]]; then
    # The fuzzers link clang's runtime of the same major version as clang.
    clang_major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p')
    install_missing "libclang-rt-$clang_major-dev"
fi

cmake --preset default >/dev/null
cmake --build --preset default
