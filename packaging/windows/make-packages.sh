#!/usr/bin/env bash
# Makes what a Windows user downloads, from the cross-built programs in
# BUILD_DIR/bin (tarvon-addons.exe, tarvon-tables.exe, names.cfg, demo.smc):
#
#   BUILD_DIR/tarvon-addons-setup.exe    the installer (tarvon-addons.nsi)
#   BUILD_DIR/tarvon-addons-windows.zip  the same programs to run without
#                                        installing, in a folder
#                                        "Tarvon Add-ons/" with a README.txt
#
#   packaging/windows/make-packages.sh BUILD_DIR VERSION
#
# VERSION is three numbers, e.g. 1.0.0. Needs makensis (Debian: nsis) and
# cmake, whose "cmake -E tar" writes the zip.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
readonly here
readonly folder_name='Tarvon Add-ons'
readonly contents=(tarvon-addons.exe tarvon-tables.exe names.cfg demo.smc)

fail() {
    echo "make-packages: $*" >&2
    exit 1
}

check_arguments() {
    [[ $# -eq 2 ]] || fail "usage: make-packages.sh BUILD_DIR VERSION"
    [[ $2 =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "VERSION must be three numbers, such as 1.0.0: '$2'"
    local file
    for file in "${contents[@]}"; do
        [[ -f $1/bin/$file ]] || fail "missing $1/bin/$file"
    done
}

# make_installer BUILD_DIR VERSION
make_installer() {
    makensis -V2 -WX -DVERSION="$2" -DBIN="$1/bin" -DOUTFILE="$1/tarvon-addons-setup.exe" \
        "$here/tarvon-addons.nsi"
}

# The README with the version filled in and Windows line ends.
write_readme() {
    sed -e "s/@VERSION@/$2/" -e 's/$/\r/' "$here/README.txt" >"$1"
}

# make_zip BUILD_DIR VERSION STAGING_DIR
make_zip() {
    local staging=$3
    mkdir "$staging/$folder_name"
    local file
    for file in "${contents[@]}"; do
        cp -p "$1/bin/$file" "$staging/$folder_name/"
    done
    write_readme "$staging/$folder_name/README.txt" "$2"
    local zip="$1/tarvon-addons-windows.zip"
    rm -f "$zip"
    # The files named one by one, in the order of the README.
    (cd "$staging" && cmake -E tar cf "$zip" --format=zip -- \
        "${contents[@]/#/$folder_name/}" "$folder_name/README.txt")
}

main() {
    check_arguments "$@"
    local build_dir
    build_dir=$(cd "$1" && pwd)
    make_installer "$build_dir" "$2"
    staging=$(mktemp -d) # global: the exit trap removes it
    trap 'rm -rf "$staging"' EXIT
    make_zip "$build_dir" "$2" "$staging"
    echo "make-packages: wrote $build_dir/tarvon-addons-setup.exe and $build_dir/tarvon-addons-windows.zip"
}

main "$@"
