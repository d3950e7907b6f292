#!/usr/bin/env bash
# CPU the editor uses while it plays the day (F5), as a share of one core over 20 s of the
# play, against the same editor sitting idle for 20 s. Each run starts the editor on a drawn
# day, waits for start-up to be over, measures it idle, then plays. Medians over the runs.
# Usage: bench/play.sh [runs]   (after: cmake --build --preset release)
# DIM_BENCH_DISPLAY picks the virtual display (default :95).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
editor=build/release/dimeditor
tool=build/release/cli/dimtool
source bench/in_turn.sh
require_built "$editor" "$tool"
start_virtual_display "${DIM_BENCH_DISPLAY:-:95}"

work=$(mktemp -d)
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$work" "$bench_state"' EXIT
# The editors ended here leave their unsaved-curve files in a folder of their own, and the
# next one is not asked about those of others.
export XDG_STATE_HOME="$work/state"
# A drawn day: white and blue by day, clouds at noon, moon at night.
"$tool" daylight -o "$work/a.DIM" --channel 1 --start 08:00 --end 20:00 --ramp 120 --peak 100
"$tool" daylight -o "$work/b.DIM" --from "$work/a.DIM" --channel 2 --start 07:00 --end 21:30 \
    --ramp 90 --peak 80
"$tool" daylight -o "$work/c.DIM" --from "$work/b.DIM" --channel 3 --start 11:00 --end 16:00 \
    --ramp 60 --peak 40
"$tool" daylight -o "$work/P1.DIM" --from "$work/c.DIM" --channel 4 --start 21:00 --end 07:30 \
    --ramp 60 --peak 20

seconds=20

# Nanoseconds of CPU the process has used, all its threads together.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'
}

# Per mille of one core over the given seconds, from two cpu_ns readings.
per_mille() {
    awk "BEGIN {printf \"%d\", ($2 - $1) / ($3 * 1e6)}"
}

idle=() play=()
for _ in $(seq "$runs"); do
    "$editor" "$work/P1.DIM" >/dev/null 2>&1 &
    pid=$!
    until wid=$(xdotool search --onlyvisible --name "P1.DIM" 2>/dev/null | head -n 1) &&
        [ -n "$wid" ]; do sleep 0.05; done
    sleep 2 # start-up is over
    xdotool windowactivate --sync "$wid"
    a=$(cpu_ns "$pid")
    sleep "$seconds"
    b=$(cpu_ns "$pid")
    xdotool key --window "$wid" F5
    sleep 1 # the first hour of the day
    c=$(cpu_ns "$pid")
    sleep "$seconds"
    d=$(cpu_ns "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    idle+=("$(per_mille "$a" "$b" "$seconds")")
    play+=("$(per_mille "$c" "$d" "$seconds")")
done
spread() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.1f-%.1f", a[1] / 10, a[NR] / 10}'; }
i=$(printf '%s\n' "${idle[@]}" | median)
p=$(printf '%s\n' "${play[@]}" | median)
met=$(awk "BEGIN {print ($p < 50) ? 1 : 0}")
awk "BEGIN {printf \"CPU while playing: %.1f %% of a core (runs %s), idle %.1f %% (runs %s); target < 5 %%\n\", $p / 10, \"$(spread "${play[@]}")\", $i / 10, \"$(spread "${idle[@]}")\"}"
echo "target_met=${met}"
