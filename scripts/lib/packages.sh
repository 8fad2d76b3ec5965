# Installs missing Debian packages, waiting for another install's locks.
# Sourced by the scripts that set things up.

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
