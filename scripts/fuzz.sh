#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, in build-fuzz/) and runs each for a
# bounded time from the seeds in fuzz/corpus/. Fails on any crash, sanitizer
# report or broken check; the input that broke it is kept in
# build-fuzz/artifacts/ (replay: build-fuzz/bin/fuzz-TARGET FILE).
# FUZZ_SECONDS sets the time per target (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# The image target writes and syncs an image of up to 1 MiB on every run; in
# memory that costs little.
if [[ -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi

# Longest input per target: value texts are short; a names file of 256 lines
# fits in 4 KiB; an image recipe of a few dozen steps in 512 bytes.
declare -A maxLength=([byte-text]=64 [name-list]=4096 [image]=512 [table-csv]=8192)

mkdir -p build-fuzz/artifacts
for target in byte-text name-list image table-csv; do
    seeds=fuzz/corpus/${target//-/_}
    corpus=build-fuzz/corpus/${target//-/_}
    log=build-fuzz/fuzz-$target.log
    mkdir -p "$corpus"
    # New inputs go to the first directory; the committed seeds stay as they are.
    if ! "build-fuzz/bin/fuzz-$target" -max_total_time="$seconds" -print_final_stats=1 \
        -max_len="${maxLength[$target]}" -artifact_prefix="build-fuzz/artifacts/$target-" \
        "$corpus" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz-$target FAILED (full log: $log)"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz-$target: $runs executions in $seconds s"
done
