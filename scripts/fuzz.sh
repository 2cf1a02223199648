#!/usr/bin/env bash
# Runs every fuzz target in build-fuzz/fuzz for SECONDS each (default 60),
# starting from the committed seeds; fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
for target in build-fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    work=$(mktemp -d)
    seeds=fuzz/seeds
    echo "-- $name for ${seconds}s"
    (cd "$work" && "$OLDPWD/$target" -max_total_time="$seconds" -max_len=4096 \
        -print_final_stats=1 "$work" "$OLDPWD/$seeds" 2>&1 | tail -n 12)
    rm -rf "$work"
done
