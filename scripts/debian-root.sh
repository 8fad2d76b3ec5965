# shellcheck shell=bash
# Pristine Debian systems for the checks, made with debootstrap from the Debian
# archive that apt on this machine uses. Sourced by debian13-check.sh and
# package-check.sh, which define fail().

# Prints the URI of the first Debian archive named $1 (debian or
# debian-security) among apt's sources on this machine.
archive_uri() {
    local file files=()
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources; do
        [[ ! -f $file ]] || files+=("$file")
    done
    ((${#files[@]})) || return 0
    awk -v name="$1" '!/^[[:space:]]*#/ {
        for (i = 1; i <= NF; i++)
            if ($i ~ "^[a-z]+://.*/" name "/?$") { sub("/$", "", $i); print $i; exit }
    }' "${files[@]}"
}

# Installs debootstrap where it is missing.
need_debootstrap() {
    command -v debootstrap >/dev/null && return 0
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
}

# Makes a pristine minimal root of the Debian release $1 (bookworm, trixie)
# and keeps it as the tarball $2; the file $3 inside the root, when given,
# tells the root from other systems.
make_root_tarball() {
    # Not named suite or marker: the scripts that source this one keep
    # read-only variables of those names.
    local release=$1 tarball=$2 rootMarker=${3:-} fresh mirror security
    mirror=$(archive_uri debian)
    security=$(archive_uri debian-security)
    [[ -n $mirror ]] || fail "apt on this machine names no Debian archive"
    need_debootstrap
    fresh=$(mktemp -d /var/tmp/tarvon-debootstrap.XXXXXX)
    debootstrap --variant=minbase "$release" "$fresh/root" "$mirror" ||
        { rm -rf "$fresh"; fail "debootstrap failed (log: $fresh/root/debootstrap/debootstrap.log)"; }
    # The same archives as a new installation: the release, its updates, and
    # the security updates.
    rm -f "$fresh/root/etc/apt/sources.list"
    {
        printf 'Types: deb\nURIs: %s\nSuites: %s %s-updates\nComponents: main\n' \
            "$mirror" "$release" "$release"
        printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
        [[ -z $security ]] || printf '\nTypes: deb\nURIs: %s\nSuites: %s-security\n%s\n%s\n' \
            "$security" "$release" "Components: main" \
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
    } >"$fresh/root/etc/apt/sources.list.d/debian.sources"
    [[ -z $rootMarker ]] || touch "$fresh/root/$rootMarker"
    mkdir -p "$(dirname "$tarball")"
    tar -C "$fresh/root" -czf "$tarball.part" .
    mv "$tarball.part" "$tarball"
    rm -rf "$fresh"
}

# Runs the shell command $2 as root in the root $1, with the environment of a
# new login and the variables given after it, in new mount and PID
# namespaces: when it ends, its mounts and processes are gone.
in_root() {
    local root=$1 command=$2
    shift 2
    unshare --mount --pid --fork --kill-child --propagation private -- bash -c '
        set -e
        root=$1
        shift
        mount -t proc proc "$root/proc"
        mount -t sysfs -o ro sysfs "$root/sys"
        mount --bind /dev/pts "$root/dev/pts"
        mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
        # Not exec: this shell stays the namespace'"'"'s first process, so that
        # the command'"'"'s processes can be signalled from outside.
        status=0
        chroot "$root" env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@" || status=$?
        exit "$status"
    ' bash "$root" "$@" bash -c "$command"
}
