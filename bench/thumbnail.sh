#!/usr/bin/env bash
# How long a file manager waits for a curve file's picture: "dimtool thumbnail" of a drawn
# day at 128 and 256 px, from start to exit, run as the installed thumbnailer runs it.
# Prints the median and the spread (lowest and highest) of the runs for each size.
# Usage: bench/thumbnail.sh [runs]   (after: cmake --build --preset release)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-21}"
tool=build/release/cli/dimtool
source bench/in_turn.sh
require_built "$tool"
work="$(mktemp -d)"
trap 'rm -rf "$work" "$bench_state"' EXIT
day="$work/day.DIM"
"$tool" daylight -o "$day" --channel 1 --start 06:00 --end 20:00 --ramp 90 --peak 100
"$tool" daylight -o "$work/blue.DIM" --from "$day" --channel 2 --start 05:00 --end 21:00 \
    --ramp 120 --peak 70
mv "$work/blue.DIM" "$day"

for size in 128 256; do
    times=()
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$tool" thumbnail "$day" "$work/thumbnail.png" --size "$size"
        end=$(date +%s%N)
        times+=("$(( (end - start) / 1000 ))")
    done
    median_us=$(printf '%s\n' "${times[@]}" | median)
    read -r low high < <(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[1], a[NR]}')
    awk -v s="$size" -v m="$median_us" -v l="$low" -v h="$high" -v n="$runs" \
        'BEGIN {printf "thumbnail %d px: median %.1f ms (%.1f-%.1f ms over %d runs)\n", s, m / 1000, l / 1000, h / 1000, n}'
done
