#!/usr/bin/env bash
# The whole program on generated LMHOSTS files of 10, 100 000 and 1 000 000 entries:
# a fresh process from start to its window painted, next to a minimal Qt dialog and
# to GNU sort -k2 of the same file; the process's peak memory; and the in-process
# benchmarks (keystroke at 100 000, Save & Exit of the unchanged 1 000 000 file); and
# the same for one entry of 20 MB in its comment or hostname.
# Usage: scripts/bench-startup.sh [build-dir]   (default: build, configured with
# -DMARLOX_BUILD_BENCH=ON as scripts/setup.sh does)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target bench_startup lmhosts_gen >/dev/null
bench="$build/bench/bench_startup"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE=
export QT_LOGGING_RULES='qt.qpa.*=false'

work=$(mktemp -d "${TMPDIR:-/tmp}/marlox-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

now_ns() { date +%s%N; }

# Best of five: milliseconds from launch to the first painted window, and the
# peak resident memory (KiB) of that run.
shown_ms() {
    local best="" best_kib=""
    for _ in 1 2 3 4 5; do
        local t0 out shown kib us
        t0=$(now_ns)
        out=$("$@" 2>/dev/null)
        shown=$(echo "$out" | awk '$1 == "shown_ns" { print $2 }')
        kib=$(echo "$out" | awk '$1 == "peak_kib" { print $2 }')
        [ -n "$shown" ] || { echo "no window from: $*" >&2; exit 1; }
        us=$(((shown - t0) / 1000))
        if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best=$us best_kib=$kib; fi
    done
    awk -v us="$best" -v kib="$best_kib" 'BEGIN { printf "%.1f %d\n", us / 1000, kib }'
}
# Best of five wall-clock runs of a command, in milliseconds.
run_ms() {
    local best=""
    for _ in 1 2 3 4 5; do
        local t0 t1 us
        t0=$(now_ns)
        "$@" >/dev/null
        t1=$(now_ns)
        us=$(((t1 - t0) / 1000))
        if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best=$us; fi
    done
    awk -v us="$best" 'BEGIN { printf "%.1f\n", us / 1000 }'
}

read -r minimal_ms minimal_kib < <(shown_ms "$bench" --minimal)

printf '%-10s %10s %12s %12s %10s %12s\n' entries "file B" "window ms" "sort -k2 ms" "peak KiB" "budget KiB"
declare -A window sortk size peak
for n in 10 100000 1000000; do
    root="$work/w$n"
    mkdir -p "$root/System32/drivers/etc"
    file="$root/System32/drivers/etc/lmhosts"
    "$build/bench/lmhosts_gen" "$n" >"$file"
    cat "$file" >/dev/null
    size[$n]=$(stat -c %s "$file")
    read -r window[$n] peak[$n] < <(SystemRoot="$root" shown_ms "$bench" --program)
    sortk[$n]=$(run_ms sort -k2 "$file")
    budget=$(((size[$n] + 150 * n) / 1024 + minimal_kib))
    printf '%-10s %10s %12s %12s %10s %12s\n' "$n" "${size[$n]}" "${window[$n]}" "${sortk[$n]}" \
        "${peak[$n]}" "$budget"
done
echo "minimal Qt dialog: window $minimal_ms ms, peak $minimal_kib KiB"
echo "(budget = file + 150 B/entry on top of the minimal dialog's peak)"
awk -v w="${window[10]}" -v m="$minimal_ms" -v w1="${window[1000000]}" -v s1="${sortk[1000000]}" 'BEGIN {
    printf "window at 10 / minimal dialog        %.2f  (target <= 1.5)\n", w / m
    printf "window at 1 000 000 / sort -k2       %.2f  (target <= 1)\n", w1 / s1 }'


# One entry of 20 MB, in the comment and in the hostname.
printf '\n%-14s %10s %12s %10s\n' "20 MB line" "file B" "window ms" "peak KiB"
for kind in comment name; do
    root="$work/long-$kind"
    mkdir -p "$root/System32/drivers/etc"
    file="$root/System32/drivers/etc/lmhosts"
    "$build/bench/lmhosts_gen" --long-$kind 20000000 >"$file"
    read -r ms kib < <(SystemRoot="$root" shown_ms "$bench" --program)
    printf '%-14s %10s %12s %10s\n' "in the $kind" "$(stat -c %s "$file")" "$ms" "$kib"
done

echo
"$bench" --benchmark_filter='BM_KeystrokeInHostname|BM_SaveAndExitUnchanged|BM_OpenWindow|BM_LongLine' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
    grep -E '^(Benchmark|BM_|-)' | grep -v '_stddev\|_cv'
