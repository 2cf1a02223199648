#!/usr/bin/env bash
# Runs every fuzz target in build-fuzz/fuzz for SECONDS each (default 60),
# starting from the committed seeds; fails on the first finding and keeps the
# reproducer in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
seconds=${1:-60}
mkdir -p build-fuzz/findings
for target in build-fuzz/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$(mktemp -d)
    log=build-fuzz/findings/$name.log
    echo "-- $name for ${seconds}s"
    if ! (cd build-fuzz/findings && "$top/$target" -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 "$corpus" "$top/fuzz/seeds" >"$top/$log" 2>&1); then
        tail -n 60 "$log"
        echo "$name found a fault; reproducer in build-fuzz/findings/" >&2
        rm -rf "$corpus"
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log" || tail -n 5 "$log"
    rm -rf "$corpus"
done
