#!/usr/bin/env bash
# Launch to the first complete picture: the editor against a bare maximised Qt Widgets window
# that paints one 1700 x 1000 picture (bench/bare_picture), on a virtual display with a window
# manager, launched in turn so that load from elsewhere falls on both alike. The moment is seen
# from outside: the probe samples the window's pixels from the X server after every damage
# report and counts the first reading that already shows the picture the window settles on.
# Usage: bench/first_picture.sh [pairs]   (after: cmake --build --preset release)
# DIM_BENCH_DISPLAY picks the virtual display (default :97); DIM_BENCH_EDITOR another build of
# the editor (an A/B of two builds); DIM_BENCH_CACHE=cold starts it without the sheet's cache
# (see in_turn.sh); DIM_BENCH_CORE=N runs both programs on core N alone (taskset), as on a
# machine with no core to spare for the start's threads.
set -euo pipefail
cd "$(dirname "$0")/.."
pairs="${1:-10}"
editor="${DIM_BENCH_EDITOR:-build/release/dimeditor}"
bare=build/release/bench/bare_picture
probe=build/release/bench/map_probe
source bench/in_turn.sh
require_built "$editor" "$bare" "$probe"
start_virtual_display "${DIM_BENCH_DISPLAY:-:97}"

pin=()
[ -z "${DIM_BENCH_CORE:-}" ] || pin=(taskset -c "$DIM_BENCH_CORE")

# Milliseconds from start to the first complete picture.
picture_ms() {
    "$probe" "$2" --picture "${pin[@]}" "$1" 2>/dev/null
}

# A start before the measured ones fills the cache, unless it is to stay cold.
[ "$bench_cache" = cold ] || picture_ms "$editor" "Kelmaro Brantoq" >/dev/null
measure_in_turn "$pairs" picture_ms "$editor" "Kelmaro Brantoq" "$bare" "bare picture"
met=$(awk "BEGIN {print ($ratio <= 1.3) ? 1 : 0}")
echo "editor: ${program_runs[*]}"
echo "bare picture: ${reference_runs[*]}"
echo "launch to first complete picture ($bench_cache cache${DIM_BENCH_CORE:+, core $DIM_BENCH_CORE}): editor ${program_median} ms, bare picture" \
     "${reference_median} ms, ratio ${ratio} (per pair ${spread}; target <= 1.3)"
echo "target_met=${met}"
