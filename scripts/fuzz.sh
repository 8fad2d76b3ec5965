#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, in build-fuzz/), replays every
# committed input in fuzz/corpus/, then fuzzes each target for a fixed time
# from a fixed seed and a fresh working corpus, so that a failing run can be
# run again the same way. Fails on any crash, sanitizer report or broken check;
# the input that broke it is kept in build-fuzz/artifacts/ (replay:
# build-fuzz/bin/fuzz-TARGET FILE).
#   FUZZ_SECONDS  time per target (default 30)
#   FUZZ_SEED     libFuzzer's -seed (default 1)
#   FUZZ_MERGE=1  afterwards, copy into fuzz/corpus/ only the new inputs that
#                 add coverage (-merge=1), to be committed by hand
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
seed=${FUZZ_SEED:-1}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Longest input per target: value texts are short; a names file of 256 lines
# fits in 4 KiB; an image recipe of a few dozen steps in 512 bytes; the
# tables as UTF-16 CSV in 12 KiB.
declare -A maxLength=([byte-text]=64 [name-list]=4096 [image]=512 [table-csv]=12288)

mkdir -p build-fuzz/artifacts
for target in byte-text name-list image table-csv; do
    seeds=fuzz/corpus/${target//-/_}
    corpus=build-fuzz/corpus/${target//-/_}
    log=build-fuzz/fuzz-$target.log
    options=(-max_len="${maxLength[$target]}" -artifact_prefix="build-fuzz/artifacts/$target-")
    if ! "build-fuzz/bin/fuzz-$target" -runs=0 "${options[@]}" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz-$target FAILED on a committed input (full log: $log)"
        exit 1
    fi
    echo "fuzz-$target: $(find "$seeds" -type f | wc -l) committed inputs replayed"

    # New inputs go to the first directory; the committed seeds stay as they are.
    rm -rf "$corpus"
    mkdir -p "$corpus"
    if ! "build-fuzz/bin/fuzz-$target" -seed="$seed" -max_total_time="$seconds" \
        -print_final_stats=1 "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz-$target FAILED (seed $seed; full log: $log)"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "fuzz-$target: $runs executions in $seconds s ($rate a second), seed $seed"

    if [[ ${FUZZ_MERGE:-0} == 1 ]]; then
        "build-fuzz/bin/fuzz-$target" -merge=1 "${options[@]}" "$seeds" "$corpus" \
            >>"$log" 2>&1
        echo "fuzz-$target: $(git status --porcelain -- "$seeds" | wc -l) new inputs in $seeds"
    fi
done
