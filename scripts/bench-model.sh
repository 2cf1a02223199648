#!/usr/bin/env bash
# Model benchmarks on a generated 1 000 000-entry LMHOSTS file, next to wc, awk
# and cp on the same file in the same run, and the peak memory of a load.
# Usage: scripts/bench-model.sh [build-dir]   (default: build, configured with
# -DMARLOX_BUILD_BENCH=ON as scripts/setup.sh does)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target bench_model lmhosts_gen lmhosts_peak >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/marlox-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
entries=1000000
root="$work/w$entries"
etc="$root/System32/drivers/etc"
mkdir -p "$etc"
file="$etc/lmhosts"
"$build/bench/lmhosts_gen" $entries >"$file"
size=$(stat -c %s "$file")

# Best of five wall-clock runs, in milliseconds.
best_ms() {
    local best=""
    for _ in 1 2 3 4 5; do
        local t0 t1 ms
        t0=$(date +%s%N)
        "$@" >/dev/null
        t1=$(date +%s%N)
        ms=$(((t1 - t0) / 1000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    awk -v us="$best" 'BEGIN { printf "%.1f", us / 1000 }'
}
cat "$file" >/dev/null
wc_ms=$(best_ms wc -l "$file")
awk_ms=$(best_ms awk '{n+=NF} END{print n}' "$file")
cp_ms=$(best_ms cp "$file" "$work/copy")
# The save flushes the new file to disk before it replaces the old one; so does this.
cp_sync_ms=$(best_ms sh -c 'cp "$1" "$2" && sync "$2"' sh "$file" "$work/copy")

json="$work/bench.json"
MARLOX_BENCH_DIR="$work" "$build/bench/bench_model" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out="$json" \
    --benchmark_out_format=json >/dev/null
# Median real time (ms) and throughput of one benchmark.
stat_of() {
    python3 - "$json" "$1" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
for b in data["benchmarks"]:
    if b["name"] == sys.argv[2] + "_median":
        t = b["real_time"] * {"ms": 1, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
        mbs = b.get("bytes_per_second", 0) / 1e6
        print(f"{t:.1f} {mbs:.0f}")
PY
}

peak=$(SystemRoot="$root" "$build/bench/lmhosts_peak")
get() { echo "$peak" | awk -v k="$1" '$1 == k { print $2 }'; }
start_kib=$(get start_kib)
load_kib=$(get after_load_kib)
save_kib=$(get after_save_kib)
budget_kib=$(((size + 250 * entries) / 1024))

echo
echo "1 000 000 entries, file $((size / 1000000)) MB ($size bytes)"
printf '%-34s %10s %8s\n' "operation" "ms" "MB/s"
for n in 1000 100000 1000000; do
    for b in BM_LoadHostTable BM_SaveUnchanged BM_SaveOnePercentChanged; do
        read -r t mbs < <(stat_of "$b/$n")
        printf '%-34s %10s %8s\n' "$b/$n" "$t" "$mbs"
    done
done
read -r t mbs < <(stat_of "BM_ParseLmhostsLine")
printf '%-34s %10s %8s   (1 100 lines)\n' "BM_ParseLmhostsLine" "$t" "$mbs"
printf '%-34s %10s\n' "wc -l" "$wc_ms" "awk '{n+=NF} END{print n}'" "$awk_ms" "cp" "$cp_ms" \
    "cp + sync" "$cp_sync_ms"
read -r load _ < <(stat_of "BM_LoadHostTable/$entries")
read -r save _ < <(stat_of "BM_SaveUnchanged/$entries")
awk -v l="$load" -v a="$awk_ms" -v s="$save" -v c="$cp_ms" -v cs="$cp_sync_ms" 'BEGIN {
    printf "load / awk                 %.2f  (target <= 1.5)\n", l / a
    printf "unchanged save / cp        %.2f  (target <= 2)\n", s / c
    printf "unchanged save / cp + sync %.2f\n", s / cs }'
echo "peak memory KiB: at start $start_kib, after load $load_kib, after save $save_kib;" \
    "budget file + 250 B/entry = $budget_kib (over the start figure: $((load_kib - start_kib)))"
