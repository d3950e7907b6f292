#!/usr/bin/env bash
# Launch time (start to a mapped window) and resident memory of the editor against a bare
# maximised Qt Widgets window, on a virtual display with a window manager. The two programs
# are launched in turn, so that load from elsewhere falls on both alike. The moment a window
# becomes viewable is taken from the X server's own events (bench/map_probe), not by polling.
# Usage: bench/startup.sh [runs]   (after: cmake --build --preset release)
# DIM_BENCH_DISPLAY picks the virtual display (default :97); DIM_BENCH_EDITOR another build of
# the editor (an A/B of two builds).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
editor="${DIM_BENCH_EDITOR:-build/release/dimeditor}"
bare=build/release/bench/bare_window
probe=build/release/bench/map_probe
source bench/in_turn.sh
require_built "$editor" "$bare" "$probe"
start_virtual_display "${DIM_BENCH_DISPLAY:-:97}"

# Milliseconds from start to the window being viewable.
launch_ms() {
    "$probe" "$2" "$1" 2>/dev/null
}

# The resident size in kB two seconds after the window appeared.
resident_kb() {
    "$probe" "$2" --rss-after 2 "$1" 2>/dev/null | tail -n 1
}

measure_in_turn "$runs" launch_ms "$editor" "Kelmaro Brantoq" "$bare" "bare window"
editor_ms=$program_median bare_ms=$reference_median launch_ratio=$ratio launch_spread=$spread
measure_in_turn $((runs < 5 ? runs : 5)) resident_kb "$editor" "Kelmaro Brantoq" "$bare" "bare window"
editor_kb=$program_median bare_kb=$reference_median
met=$(awk "BEGIN {print ($launch_ratio <= 1.2 && ($editor_kb - $bare_kb) <= 25 * 1024) ? 1 : 0}")
echo "launch to mapped window: editor ${editor_ms} ms, bare window ${bare_ms} ms," \
     "ratio ${launch_ratio} (per pair ${launch_spread}; target <= 1.2)"
awk "BEGIN {printf \"resident size (median): editor %.1f MB, bare window %.1f MB, difference %.1f MB (target <= 25 MB)\n\", $editor_kb / 1024, $bare_kb / 1024, ($editor_kb - $bare_kb) / 1024}"
echo "target_met=${met}"
