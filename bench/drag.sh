#!/usr/bin/env bash
# CPU time of the editor per pointer step of a left-button drag across band 2 (80 steps,
# 30 ms apart, one column each), painting included, against the same drag over a bare
# maximised window that shows the pointer position in a label on every move. The two
# programs take turns, on a virtual display with a window manager.
# Usage: bench/drag.sh [runs]   (after: cmake --build --preset release)
# DIM_BENCH_DISPLAY picks the virtual display (default :96).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
editor=build/release/dimeditor
floor=build/release/bench/drag_window
source bench/in_turn.sh
require_built "$editor" "$floor"
start_virtual_display "${DIM_BENCH_DISPLAY:-:96}"

steps=80

# Nanoseconds of CPU the process has used, all its threads together.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'
}

# Microseconds of CPU per step of the drag over the program's window.
drag_us() {
    local program=$1 title=$2 pid wid
    "$program" >/dev/null 2>&1 &
    pid=$!
    until wid=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) &&
        [ -n "$wid" ]; do sleep 0.01; done
    sleep 1.5 # the first paint and the start-up work are over
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    # The chart's layout in the editor's maximised window: a 1-pixel frame, the control
    # column of 200 and the status line of 33 pixels; the bands share the height above the
    # 50-pixel axis strip, at most 250 each, and 96 columns share the width less 20.
    local chart_w=$((WIDTH - 2 - 200)) chart_h=$((HEIGHT - 2 - 33))
    local band=$(((chart_h - 50) / 4))
    [ "$band" -gt 250 ] && band=250
    local column=$(((chart_w - 20) / 96))
    local y=$((Y + 1 + band + band / 2)) x0=$((X + 1 + 10 + 5 * column))
    local args=(mousemove "$x0" "$y" sleep 0.1 mousedown 1)
    for i in $(seq "$steps"); do
        args+=(sleep 0.03 mousemove $((x0 + i * column)) "$y")
    done
    args+=(mouseup 1)
    local before after
    before=$(cpu_ns "$pid")
    xdotool "${args[@]}"
    sleep 0.1 # the last tick's paint
    after=$(cpu_ns "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo $(((after - before) / steps / 1000))
}

measure_in_turn "$runs" drag_us "$editor" "Kelmaro Brantoq" "$floor" "drag window"
e=$program_median
f=$reference_median
met=$(awk "BEGIN {print ($e <= 1000 && $ratio <= 3.0) ? 1 : 0}")
echo "CPU per drag step: editor ${e} us (runs: ${program_runs[*]}), label window ${f} us" \
     "(runs: ${reference_runs[*]}), ratio ${ratio} (per pair ${spread}; target <= 1000 us and <= 3x)"
echo "target_met=${met}"
