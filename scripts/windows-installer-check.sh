#!/usr/bin/env bash
# Checks what a Windows user gets from packaging/windows/make-packages.sh, under
# Wine, in a Wine prefix of its own that is removed at the end:
#
# - the zip holds the folder "Tarvon Add-ons/" with the two programs, names.cfg
#   and the demo image as built, and a README.txt with Windows line ends;
# - the installer, run silently (/S) as a user, puts the files into
#   %LOCALAPPDATA%\Programs\Tarvon Add-ons, a Start menu entry for the editor,
#   the entry in the list of installed programs, and the editor under "Open
#   with" for .smc and .sfc, without the extensions' default programs;
# - the uninstaller, run as that entry's QuietUninstallString, takes all of
#   that away again, and leaves what another program had put there before.
#
#   scripts/windows-installer-check.sh [BUILD_DIR]     (default: build-windows)
#
# Needs wine (64-bit) and cmake. No X display: a silent install opens no
# window, so DISPLAY is unset and Wine runs without one.
set -euo pipefail

readonly wine_timeout=180 # seconds for any one Wine run, prefix creation included
readonly product='Tarvon Add-ons'
readonly programs=(tarvon-addons.exe tarvon-tables.exe names.cfg demo.smc)
readonly installed=("${programs[@]}" tarvon-addons.ico uninstall.exe)
readonly classes='HKCU\Software\Classes'
readonly uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvonAddons'
readonly progid=TarvonAddons.Image
readonly application_key="$classes"'\Applications\tarvon-addons.exe'
# What another program registered before ours: a value beside ours under
# .smc\OpenWithProgids, and the default program of .sfc.
readonly foreign_progid=SomeEmulator.smc
readonly foreign_default=SomeEmulator.sfc

fail() {
    if [[ -s ${scratch:-}/wine.log ]]; then
        echo "windows-installer-check: what Wine printed:" >&2
        tail -n 20 "$scratch/wine.log" >&2
    fi
    echo "windows-installer-check: FAIL: $*" >&2
    exit 1
}

# A Wine of its own (lib/wine-env.sh): prefix and home in a scratch folder, so
# that nothing of it stays behind; no display.
set_up_wine() {
    scratch=$(mktemp -d)
    trap 'end_wine; rm -rf "$scratch"' EXIT
    source "$(dirname "$0")/lib/wine-env.sh"
    export WINEPREFIX=$scratch/prefix WINEARCH=win64 HOME=$scratch/home
    unset DISPLAY WAYLAND_DISPLAY
    mkdir "$HOME"
}

# Ends whatever still runs in this script's own prefix.
end_wine() {
    if [[ -d ${WINEPREFIX:-/nonexistent} ]]; then
        wineserver -k 2>/dev/null || true
    fi
}

# Waits until every process in the prefix has ended (wineserver exits then).
wait_for_wine() {
    timeout "$wine_timeout" wineserver -w || fail "Wine processes still running after ${wine_timeout}s"
}

# Runs a Windows program; its output goes to wine.log, shown on failure.
run_wine() {
    timeout "$wine_timeout" wine "$@" >>"$scratch/wine.log" 2>&1
}

# Prints what a Windows command prints, without carriage returns.
wine_output() {
    timeout "$wine_timeout" wine "$@" 2>>"$scratch/wine.log" | tr -d '\r'
}

# Prints the Unix path of a Windows one.
unix_path() {
    winepath -u "$1" 2>>"$scratch/wine.log"
}

# reg_data KEY NAME: prints the data of value NAME of KEY (NAME empty: the
# default value), or fails.
reg_data() {
    local query=(/v "$2") shown=$2 line
    [[ -n $2 ]] || query=(/ve) shown='(Default)'
    line=$(wine_output reg query "$1" "${query[@]}" | grep -F "    $shown    REG_") ||
        fail "no value '$shown' under $1"
    line=${line#*    REG_*    }
    printf '%s\n' "${line%"${line##*[![:space:]]}"}" # without trailing blanks
}

# expect_value KEY NAME DATA
expect_value() {
    local data
    data=$(reg_data "$1" "$2")
    [[ $data == "$3" ]] || fail "$1 value '${2:-(Default)}' is '$data', expected '$3'"
}

has_key() {
    wine reg query "$1" >/dev/null 2>&1
}

has_value() {
    wine reg query "$1" /v "$2" >/dev/null 2>&1
}

# Whether KEY's default value is unset (Wine's reg shows it as "(value not set)").
default_is_unset() {
    local shown
    shown=$(wine_output reg query "$1" /ve) || return 0
    grep -qF '(value not set)' <<<"$shown"
}

check_zip() {
    local zip=$1/tarvon-addons-windows.zip
    [[ -f $zip ]] || fail "missing $zip"
    mkdir "$scratch/zip"
    (cd "$scratch/zip" && cmake -E tar xf "$zip")
    local listing expected
    listing=$(cd "$scratch/zip" && find . -type f | sort)
    expected=$(printf "./$product/%s\n" "${programs[@]}" README.txt | sort)
    [[ $listing == "$expected" ]] || fail "the zip holds:"$'\n'"$listing"$'\n'"expected:"$'\n'"$expected"
    local file
    for file in "${programs[@]}"; do
        cmp -s "$1/bin/$file" "$scratch/zip/$product/$file" || fail "$file in the zip is not the one built"
    done
    local readme=$scratch/zip/$product/README.txt
    ! grep -q $'[^\r]$\|^$' "$readme" || fail "README.txt has a line without a CR LF end"
    grep -qF '%APPDATA%\Tarvon Add-ons\names.cfg' "$readme" || fail "README.txt names no per-user names file"
    version=$(sed -n 's/^Version \([0-9.]*\)\r$/\1/p' "$readme")
    [[ -n $version ]] || fail "README.txt has no version line"
}

# Creates the prefix and puts in what another program registered earlier.
make_prefix() {
    run_wine wineboot --init || fail "wineboot failed (see above)"
    wait_for_wine
    run_wine reg add "$classes"'\.smc\OpenWithProgids' /v "$foreign_progid" /t REG_SZ /d '' /f
    run_wine reg add "$classes"'\.sfc' /ve /t REG_SZ /d "$foreign_default" /f
}

# NSIS exits 0 when it installed everything, 1 when cancelled, 2 when aborted.
install() {
    local setup=$1/tarvon-addons-setup.exe
    [[ -f $setup ]] || fail "missing $setup"
    run_wine "$setup" /S || fail "the installer exited with $?"
    wait_for_wine
    local local_app_data
    local_app_data=$(wine_output cmd /c echo '%LOCALAPPDATA%')
    windows_dir="$local_app_data\\Programs\\$product"
    install_dir=$(unix_path "$windows_dir")
    local app_data
    app_data=$(wine_output cmd /c echo '%APPDATA%')
    start_menu_entry=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\$product.lnk")
}

check_installed_files() {
    local file
    for file in "${installed[@]}"; do
        [[ -f $install_dir/$file ]] || fail "not installed: $install_dir/$file"
    done
    for file in "${programs[@]}"; do
        cmp -s "$1/bin/$file" "$install_dir/$file" || fail "installed $file is not the one built"
    done
    [[ -f $start_menu_entry ]] || fail "no Start menu entry $start_menu_entry"
    grep -qaF 'tarvon-addons.exe' "$start_menu_entry" || fail "the Start menu entry does not start the editor"
}

check_uninstall_entry() {
    expect_value "$uninstall_key" DisplayName "$product"
    expect_value "$uninstall_key" DisplayVersion "$version"
    expect_value "$uninstall_key" Publisher "$product developers"
    expect_value "$uninstall_key" DisplayIcon "$windows_dir\\tarvon-addons.ico"
    expect_value "$uninstall_key" UninstallString "\"$windows_dir\\uninstall.exe\""
    expect_value "$uninstall_key" QuietUninstallString "\"$windows_dir\\uninstall.exe\" /S"
    expect_value "$uninstall_key" InstallLocation "$windows_dir"
    expect_value "$uninstall_key" NoModify 0x1
    expect_value "$uninstall_key" NoRepair 0x1
    [[ $(reg_data "$uninstall_key" EstimatedSize) =~ ^0x0*[1-9a-f] ]] || fail "EstimatedSize is not above 0"
}

check_file_types() {
    local open_command="\"$windows_dir\\tarvon-addons.exe\" \"%1\""
    expect_value "$classes\\$progid"'\shell\open\command' '' "$open_command"
    expect_value "$classes\\$progid"'\DefaultIcon' '' "$windows_dir\\tarvon-addons.ico"
    expect_value "$application_key"'\shell\open\command' '' "$open_command"
    local extension
    for extension in .smc .sfc; do
        has_value "$classes\\$extension"'\OpenWithProgids' "$progid" ||
            fail "$extension does not list $progid under OpenWithProgids"
        has_value "$application_key"'\SupportedTypes' "$extension" ||
            fail "tarvon-addons.exe does not list $extension among its SupportedTypes"
    done
    check_foreign_entries
}

# What the other program registered is there as it was, and the extensions'
# default values are not ours.
check_foreign_entries() {
    default_is_unset "$classes"'\.smc' || fail ".smc has a default value"
    expect_value "$classes"'\.sfc' '' "$foreign_default"
    has_value "$classes"'\.smc\OpenWithProgids' "$foreign_progid" ||
        fail "$foreign_progid is gone from .smc's OpenWithProgids"
}

# The uninstaller copies itself into %TEMP%, starts the copy and exits at once;
# the copy does the work. wait_for_wine waits for it, as for every process in
# the prefix.
uninstall() {
    local quiet_command
    quiet_command=$(reg_data "$uninstall_key" QuietUninstallString)
    [[ $quiet_command =~ ^\"(.*)\"\ /S$ ]] || fail "QuietUninstallString not understood: $quiet_command"
    run_wine "${BASH_REMATCH[1]}" /S || fail "the uninstaller exited with $?"
    wait_for_wine
}

check_uninstalled() {
    [[ ! -e $install_dir ]] || fail "left behind: $install_dir with $(find "$install_dir" -mindepth 1 -printf '%P ')"
    [[ ! -e $start_menu_entry ]] || fail "left behind: $start_menu_entry"
    local key
    for key in "$uninstall_key" "$classes\\$progid" "$application_key" "$classes"'\.sfc\OpenWithProgids'; do
        ! has_key "$key" || fail "left behind: $key"
    done
    ! has_value "$classes"'\.smc\OpenWithProgids' "$progid" || fail "left behind: .smc OpenWithProgids $progid"
    check_foreign_entries
}

main() {
    local build_dir=${1:-build-windows}
    [[ -d $build_dir/bin ]] || fail "no $build_dir/bin: pass the Windows build folder"
    build_dir=$(cd "$build_dir" && pwd)
    set_up_wine
    check_zip "$build_dir"
    make_prefix
    install "$build_dir"
    check_installed_files "$build_dir"
    check_uninstall_entry
    check_file_types
    uninstall
    check_uninstalled
    echo "windows-installer-check: all passed"
}

main "$@"
