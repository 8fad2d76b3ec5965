#!/usr/bin/env bash
# Tries the README's two commands on a pristine Debian 13 (trixie) system, as a
# new user would, as root:
#   1. makes a minimal Debian 13 root with debootstrap, from the Debian archive
#      that apt on this machine uses, and keeps it as a tarball in build/, so
#      that a second run on this machine only unpacks it;
#   2. clones the checkout's HEAD into the root;
#   3. runs `bash scripts/start.sh` there offscreen until the editor is up and
#      its main window has been painted, then ends it;
#   4. runs `bash scripts/test.sh` there, with the fuzzers run for one second
#      each only; its package check also installs the package it built and
#      starts the installed program.
# Each command runs in its own mount and process namespaces: its mounts (proc,
# sys, dev/pts, dev/shm and whatever the tests mount) and its processes end
# with it. The unpacked root is removed at the end, also when a step fails.
# Prints how long each step took.
#
#   scripts/debian13-check.sh
#
# Needs root, unshare (util-linux) and the network path to the Debian archive;
# installs debootstrap where it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly suite=trixie
readonly marker=etc/tarvon-debian13-root # a file only the Debian 13 root has
readonly cache=build/debian13-root.tar.gz
readonly checkout=/root/tarvon-addons # the clone, inside the root
readonly program=$checkout/build/bin/tarvon-addons
readonly start_timeout=1800 # seconds for start.sh to install, build and start
readonly seconds_up=5       # the started editor must stay up this long
# The whole check takes well over 12 minutes on two cores, so the fuzzers are
# only built and run for a second each here; test.sh on the machine itself
# fuzzes for the full time.
readonly fuzz_seconds=1

fail() {
    echo "debian13-check: FAIL: $*" >&2
    exit 1
}

[[ ! -e /$marker ]] || fail "this is the Debian 13 root itself; run the check from outside it"
[[ $(id -u) == 0 ]] || fail "needs root (debootstrap, chroot, mount)"
source scripts/debian-root.sh
need_debootstrap

timings=()
step_start=$SECONDS
step_name=""
begin_step() {
    step_name=$1
    step_start=$SECONDS
    echo "== debian13-check: $step_name"
}
end_step() {
    local seconds=$((SECONDS - step_start))
    timings+=("$(printf '%4d:%02d  %s' $((seconds / 60)) $((seconds % 60)) "$step_name")")
    step_name=""
}
print_timings() {
    [[ -z $step_name ]] || end_step
    echo "== debian13-check: time per step (minutes:seconds)"
    printf '%s\n' "${timings[@]}"
}

scratch=""
root=""
cleanup() {
    local status=$?
    [[ -z $root ]] || kill_root_processes
    wait 2>/dev/null || true
    # The mounts belong to namespaces that are gone by now; never remove a
    # tree that still has anything mounted in it.
    if [[ -n $scratch ]]; then
        if grep -qF " $scratch/" /proc/self/mountinfo; then
            echo "debian13-check: $scratch still has mounts; left in place" >&2
        else
            rm -rf "$scratch"
        fi
    fi
    print_timings
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Ends every process that runs inside the root.
kill_root_processes() {
    local dir
    for dir in /proc/[0-9]*; do
        if [[ $(readlink "$dir/root" 2>/dev/null) == "$root" ]]; then
            kill -KILL "${dir#/proc/}" 2>/dev/null || true
        fi
    done
}

# Prints the process id of the editor started from the checkout in the root,
# once there is one.
editor_pid() {
    local exe
    for exe in /proc/[0-9]*/exe; do
        if [[ $(readlink "$exe" 2>/dev/null) == "$root$program" ]]; then
            basename "$(dirname "$exe")"
            return 0
        fi
    done
    return 1
}

# Waits until start.sh ($starter) has started the editor, and prints its id.
wait_for_editor() {
    local waited=0 pid
    until pid=$(editor_pid); do
        kill -0 "$starter" 2>/dev/null || return 1
        ((waited++ < start_timeout)) || return 1
        sleep 1
    done
    echo "$pid"
}

begin_step "Debian 13 root"
if [[ -f $cache ]]; then
    echo "using $cache (remove it to make a new one)"
else
    make_root_tarball "$suite" "$cache" "$marker"
fi
scratch=$(mktemp -d /var/tmp/tarvon-debian13.XXXXXX)
root=$scratch/root
mkdir "$root"
tar -C "$root" -xzf "$cache"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
end_step

begin_step "git clone of HEAD ($(git rev-parse --short HEAD))"
git clone --quiet --no-checkout . "$root$checkout"
git -C "$root$checkout" checkout --quiet --detach "$(git rev-parse HEAD)"
end_step

begin_step "bash scripts/start.sh (offscreen)"
start_log=$scratch/start.log
in_root "$root" "cd $checkout && bash scripts/start.sh" QT_QPA_PLATFORM=offscreen >"$start_log" 2>&1 &
starter=$!
editor=$(wait_for_editor) || {
    tail -n 60 "$start_log"
    fail "start.sh did not start the editor"
}
sleep "$seconds_up"
[[ $(readlink "/proc/$editor/exe" 2>/dev/null) == "$root$program" ]] || {
    tail -n 60 "$start_log"
    fail "the editor ended by itself within $seconds_up seconds"
}
# A second start of the built editor, with the start-up probe that the
# benchmark uses: it reports once the main window has been painted.
in_root "$root" "cd $checkout && TARVON_PROBE_FD=3 timeout 60 env LD_PRELOAD=build/bin/libtarvon-start-probe.so \
    build/bin/tarvon-addons 3>/tmp/painted" QT_QPA_PLATFORM=offscreen ||
    fail "the editor started with the start-up probe did not paint its main window"
[[ -s $root/tmp/painted ]] || fail "the start-up probe reported no painted window"
echo "the editor is up; its main window was painted (peak memory $(cat "$root/tmp/painted") KiB)"
kill "$editor"
wait "$starter" || true
end_step

begin_step "bash scripts/test.sh"
in_root "$root" "cd $checkout && bash scripts/test.sh" TARVON_INSTALL_PACKAGE=1 FUZZ_SECONDS="$fuzz_seconds" ||
    fail "test.sh failed on Debian 13"
end_step

echo "debian13-check: all passed"
