#!/usr/bin/env bash
# Builds Debian's own source of the installed Qt for 64-bit Windows, static,
# with only what the two programs and their tests use, and prints the folder
# it is installed in. A build is kept in a cache folder outside the checkout,
# named after the Qt version and the configure line, and later runs reuse it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

cache=${TARVON_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvon-addons}
# Qt's own toolchain file loads the one Qt was built with: a copy in the
# cache, so that the build serves every checkout, named by its contents.
toolchain_hash=$(sha256sum cmake/mingw-w64-x86_64.cmake | cut -c1-12)
toolchain=$cache/mingw-w64-x86_64-$toolchain_hash.cmake
mkdir -p "$cache"
[[ -f $toolchain ]] || cp cmake/mingw-w64-x86_64.cmake "$toolchain"
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)

configure_line=(
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -GNinja
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF
    -DFEATURE_pkg_config=OFF -DFEATURE_dynamicgl=OFF
    # Its code needs the wintab headers Debian removed from the source.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
)
key=$( (printf '%s\n' "$qt_version" "${configure_line[@]}"; cat "$toolchain") | sha256sum | cut -c1-12)
prefix=$cache/qt-$qt_version-windows-$key

if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
fi

log() { echo "windows-qt.sh: $*" >&2; }

# apt-get source needs deb-src lines; Debian's images often have none.
add_source_lines() {
    apt-get source --print-uris qt6-base >/dev/null 2>&1 && return 0
    log "adding deb-src lines for Debian's sources"
    local file=/etc/apt/sources.list.d/debian.sources
    if [[ -f $file ]]; then
        sed 's/^Types: deb$/Types: deb-src/' "$file" | $sudo tee /etc/apt/sources.list.d/tarvon-deb-src.sources >/dev/null
    else
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/tarvon-deb-src.list >/dev/null
    fi
    updated=0
    update_package_lists >/dev/null
    updated=1
}

add_source_lines
work=$cache/qt-build-$key
rm -rf "$work"
mkdir -p "$work"
start=$SECONDS
log "fetching the source of qt6-base $qt_version"
(cd "$work" && apt-get source -q --download-only "qt6-base=$qt_version" >/dev/null &&
    dpkg-source --no-check -x qt6-base_*.dsc source >/dev/null)
log "configuring"
cmake -S "$work/source" -B "$work/build" -DCMAKE_INSTALL_PREFIX="$prefix" "${configure_line[@]}" \
    >"$work/configure.log"
log "building (25 to 40 minutes on two cores the first time)"
cmake --build "$work/build" >"$work/build.log" || { tail -40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
touch "$prefix/.complete"
log "Qt built in $((SECONDS - start)) s"
rm -rf "$work"
echo "$prefix"
