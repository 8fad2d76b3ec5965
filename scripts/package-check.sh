#!/usr/bin/env bash
# Builds the Debian package from a configured build directory (default:
# build/), checks it with lintian, desktop-file-validate and appstreamcli,
# then unpacks it into a scratch directory and drives the unpacked program
# under Xvfb: Ctrl+O, the path of a synthetic image, Return. The program must
# open the names.cfg that sits beside it in the unpacked tree, and no "Error"
# or "Warning" message may appear. apt must be able to install the package on
# this system, and the desktop entry must name the type that the shared MIME
# database gives the image, and its aliases. With TARVON_INSTALL_PACKAGE=1 (as
# root, on a system to spare) it installs the package with the desktop's MIME
# tools, drives the installed program the same way, and checks that xdg-mime
# names the program as the image type's default application. With
# TARVON_FRESH_ROOTS="bookworm trixie" (as root) it makes the same check on a
# pristine root of each Debian release named, made with debootstrap and kept as
# a tarball in BUILD_DIR (a package built on Debian 12 installs on 13 too).
#
#   scripts/package-check.sh [BUILD_DIR]
#
# Needs lintian, desktop-file-utils, appstream, dpkg-dev, xvfb, xauth, xdotool,
# strace, xdg-utils, shared-mime-info and libfile-mimeinfo-perl
# (scripts/setup.sh installs them with TARVON_TEST_TOOLS=1).
set -euo pipefail
# English, whatever the developer's language, locale or desktop theme.
export LANGUAGE= LC_ALL=C.UTF-8 QT_QPA_PLATFORMTHEME=

readonly window_timeout=30 # seconds to wait for any window or file to appear
readonly main_caption='^Tarvon Add-ons$'
readonly desktop_entry=io.github.tarvon.TarvonAddons.desktop
# What a desktop without its own file manager needs to find the program for
# an image: xdg-mime answers from the shared MIME database only with
# libfile-mimeinfo-perl, and desktop-file-utils indexes the desktop entries.
readonly mime_tools=(xdg-utils shared-mime-info libfile-mimeinfo-perl desktop-file-utils)

fail() {
    echo "package-check: FAIL: $*" >&2
    exit 1
}

# Waits up to window_timeout seconds for a visible window whose title matches
# $1, and prints its id.
wait_for_window() {
    timeout "$window_timeout" xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

# True if one thread's trace, $1.<thread id>, shows a successful open of the
# file $2, after one of the file $3 when $3 is given. (One file per thread, so
# no call is split by another thread's.)
opened_in_order() {
    local thread_trace
    for thread_trace in "$1".*; do
        awk -v first="\"${3:-$2}\"," -v then="\"$2\"," '
            / = [0-9]+$/ && index($0, first) { seen = 1 }
            seen && / = [0-9]+$/ && index($0, then) { found = 1; exit }
            END { exit !found }' "$thread_trace" && return 0
    done
    return 1
}

# Waits up to window_timeout seconds until opened_in_order "$@" holds.
wait_for_open() {
    local waited=0
    until opened_in_order "$@" 2>/dev/null; do
        ((waited++ < window_timeout * 10)) || return 1
        sleep 0.1
    done
}

# Runs inside Xvfb: starts the unpacked program through its bin/ link under
# strace, opens the image through File > Open, and checks what it read.
drive_program() {
    local root=$1 image=$2 trace=$3
    local names="$root/usr/lib/tarvon-addons/names.cfg"
    export QT_QPA_PLATFORM=xcb
    # No user's own names.cfg (which the program would read instead): the
    # installed one must be read.
    export XDG_CONFIG_HOME="${trace%/*}/no-user-config"

    strace -ff -e trace=openat,open -o "$trace" "$root/usr/bin/tarvon-addons" &
    tracer=$!
    program=""
    # Whatever happens, neither the program nor its tracer outlives the check.
    trap 'kill ${program:+"$program"} "$tracer" 2>/dev/null || true; wait "$tracer" || true' EXIT
    local window
    window=$(wait_for_window "$main_caption") || true
    [[ -n $window ]] || fail "the main window \"Tarvon Add-ons\" did not appear"
    program=$(xdotool getwindowpid "$window")

    xdotool windowfocus --sync "$window"
    xdotool key ctrl+o
    local dialog
    dialog=$(wait_for_window '^Load File$') || true
    [[ -n $dialog ]] || fail "Ctrl+O did not show the \"Load File\" dialog"
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 10 "$image"
    xdotool key Return

    wait_for_open "$trace" "$image" || fail "the program never opened $image"
    # The open-file dialog may look into names.cfg while it lists the program
    # directory; only a read after the image's shows the load reached it.
    wait_for_open "$trace" "$names" "$image" ||
        fail "the program never opened $names after $image"
    # The menus change right after the load; give a message box the same time
    # to show itself before looking for one.
    sleep 1
    local title
    for title in Error Warning; do
        if xdotool search --onlyvisible --name "^$title\$" >/dev/null; then
            fail "a message titled \"$title\" appeared after opening $image"
        fi
    done
    echo "package-check: $root/usr/bin/tarvon-addons opened $names and loaded $image"
}

# The unpacked tree $1 holds the program directory, its relative bin/ link,
# the desktop files and the documents, and no demo image.
check_layout() {
    local root=$1 id=io.github.tarvon.TarvonAddons size file
    local expected=(usr/lib/tarvon-addons/tarvon-addons usr/lib/tarvon-addons/names.cfg
        usr/lib/tarvon-addons/tarvon-tables usr/share/man/man1/tarvon-tables.1.gz
        "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
        "usr/share/icons/hicolor/scalable/apps/$id.svg" usr/share/man/man1/tarvon-addons.1.gz
        usr/share/doc/tarvon-addons/copyright usr/share/doc/tarvon-addons/changelog.gz)
    for size in 16 32 48 64 128 256; do
        expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
    done
    for file in "${expected[@]}"; do
        [[ -f $root/$file ]] || fail "the package lacks /$file"
    done
    [[ $(readlink "$root/usr/bin/tarvon-addons") == ../lib/tarvon-addons/tarvon-addons ]] ||
        fail "/usr/bin/tarvon-addons is not a relative link to the program"
    [[ $(readlink "$root/usr/bin/tarvon-tables") == ../lib/tarvon-addons/tarvon-tables ]] ||
        fail "/usr/bin/tarvon-tables is not a relative link to the program"
    "$root/usr/bin/tarvon-tables" --help >/dev/null || fail "tarvon-tables --help failed"
    [[ -z $(find "$root" -name '*.smc') ]] || fail "the package holds an image file"
}

# xdg-mime on the image $1, untouched by the user's own choices of
# applications and MIME types.
system_xdg_mime() {
    local nowhere
    nowhere=$(mktemp -d)
    XDG_CONFIG_HOME=$nowhere XDG_DATA_HOME=$nowhere xdg-mime "$@"
    rmdir "$nowhere"
}

# The desktop entry $1 lists the type that the shared MIME database gives the
# image $2, and that type's aliases.
check_entry_types() {
    local entry=$1 image=$2 type alias listed
    [[ -f $entry ]] || fail "there is no $entry"
    type=$(system_xdg_mime query filetype "$image")
    listed=";$(sed -n 's/^MimeType=//p' "$entry")"
    for alias in "$type" $(awk -v type="$type" '$2 == type { print $1 }' /usr/share/mime/aliases); do
        [[ $listed == *";$alias;"* ]] || fail "the desktop entry's MimeType= lacks $alias"
    done
    echo "package-check: the desktop entry lists $type, the type of $image, and its aliases"
}

# With the package installed: the desktop entry lists the type of the image
# $1 and opens it.
check_default_application() {
    local type default
    check_entry_types "/usr/share/applications/$desktop_entry" "$1"
    type=$(system_xdg_mime query filetype "$1")
    default=$(system_xdg_mime query default "$type")
    [[ $default == "$desktop_entry" ]] ||
        fail "xdg-mime names \"$default\", not $desktop_entry, as the default for $type"
    echo "package-check: xdg-mime query default $type: $default"
}

if [[ ${1:-} == --default-application ]]; then
    check_default_application "$2"
    exit 0
fi

if [[ ${1:-} == --drive ]]; then
    shift
    drive_program "$@"
    exit 0
fi

script=$(realpath "$0")
build=$(realpath "${1:-$(dirname "$script")/../build}")
[[ -f $build/CPackConfig.cmake ]] || fail "$build is not a configured build directory"

echo "== building the package in $build"
cmake --build "$build" --target tarvon-addons tarvon-tables make-demo packaging-files \
    tarvon-tables-manual
rm -f "$build"/tarvon-addons_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/tarvon-addons_*.deb)
deb=${debs[0]}
[[ -f $deb ]] || fail "cpack made no tarvon-addons package in $build"
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends

echo "== dependencies on this system"
apt-get install --simulate -q=2 "$deb" >/dev/null ||
    fail "apt cannot install the package's dependencies on this system"

echo "== lintian"
lintian --fail-on error "$deb" ||
    fail "lintian found errors"

scratch=$(realpath "$(mktemp -d)")
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

echo "== layout"
check_layout "$root"

echo "== desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop ||
    fail "desktop-file-validate rejected the desktop entry"

echo "== the image type"
image="$scratch/image.smc"
"$build/tools/make-demo" "$image"
check_entry_types "$root/usr/share/applications/$desktop_entry" "$image"

echo "== appstreamcli validate"
# The program has no web site. AppStream 1.0 (Debian 13) warns about the
# missing homepage; older versions neither check it nor accept its name.
appstream_options=(--no-net)
if dpkg --compare-versions "$(appstreamcli --version | awk '{ print $NF }')" ge 1.0; then
    appstream_options+=(--override=url-homepage-missing=info)
fi
appstreamcli validate "${appstream_options[@]}" "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli rejected the metainfo file"

# Drives the $3 program under the root $1 ("" for the installed one) to load
# $image, keeping the trace in $scratch/$2.
drive_under_xvfb() {
    timeout $((window_timeout * 4)) xvfb-run -a -s "-screen 0 1280x1024x24" \
        bash "$script" --drive "$1" "$image" "$scratch/$2" || {
        echo "what the program opened of the image and names.cfg:" >&2
        grep -hE "image\.smc|names\.cfg" "$scratch/$2".* >&2 || true
        fail "the $3 program did not load an image"
    }
}

echo "== starting the unpacked program"
drive_under_xvfb "$root" trace unpacked

if [[ ${TARVON_INSTALL_PACKAGE:-0} == 1 ]]; then
    echo "== installing the package and starting the installed program"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" \
        "${mime_tools[@]}"
    drive_under_xvfb "" installed-trace installed
    check_default_application "$image"
fi

# Installs the package and the MIME tools on a pristine root of the Debian
# release $1, and checks there that the image opens with the program.
check_on_fresh_root() {
    local release=$1 check=/tmp/package-check started=$SECONDS
    local tarball=$build/debian-$release-root.tar.gz fresh=$scratch/$release
    # shellcheck source=scripts/debian-root.sh
    source "$(dirname "$script")/debian-root.sh"
    [[ -f $tarball ]] || make_root_tarball "$release" "$tarball"
    mkdir "$fresh"
    tar -C "$fresh" -xzf "$tarball"
    cp -L /etc/resolv.conf "$fresh/etc/resolv.conf"
    mkdir "$fresh$check"
    cp "$script" "$deb" "$image" "$fresh$check/"
    in_root "$fresh" "apt-get update -q=2 && DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q=2 --no-install-recommends $check/${deb##*/} ${mime_tools[*]} \
        >/dev/null && bash $check/${script##*/} --default-application $check/image.smc" ||
        fail "the image does not open with the program on a pristine Debian $release"
    echo "package-check: checked on a pristine Debian $release in $((SECONDS - started)) s"
    rm -rf "$fresh"
}

for release in ${TARVON_FRESH_ROOTS:-}; do
    echo "== a pristine Debian $release: the package and the desktop's MIME tools"
    check_on_fresh_root "$release"
done
echo "package-check: all passed"
