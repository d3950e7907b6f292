#!/usr/bin/env bash
# Launch time (start to a mapped window) and resident memory of the editor against a bare
# maximised Qt Widgets window, on a virtual display with a window manager. The two programs
# are launched in turn, so that load from elsewhere falls on both alike.
# Usage: bench/startup.sh [runs]   (after: cmake --build --preset release)
# DIM_BENCH_DISPLAY picks the virtual display (default :97).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
editor=build/release/dimeditor
bare=build/release/bench/bare_window
for f in "$editor" "$bare"; do
    [ -x "$f" ] || { echo "missing $f: cmake --build --preset release" >&2; exit 1; }
done

source bench/virtual_display.sh
start_virtual_display "${DIM_BENCH_DISPLAY:-:97}"

wait_window() {
    until xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; do sleep 0.005; done
}

# Milliseconds from start to the window being mapped.
launch_ms() {
    local program=$1 title=$2 start end pid
    start=$(date +%s%N)
    "$program" >/dev/null 2>&1 &
    pid=$!
    wait_window "$title"
    end=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo $(((end - start) / 1000000))
}

# The resident size in kB two seconds after the window appeared.
resident_kb() {
    local program=$1 title=$2 pid rss
    "$program" >/dev/null 2>&1 &
    pid=$!
    wait_window "$title"
    sleep 2
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$rss"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

editor_times=() bare_times=() ratios=()
for _ in $(seq "$runs"); do
    e=$(launch_ms "$editor" "Kelmaro Brantoq")
    b=$(launch_ms "$bare" "bare window")
    editor_times+=("$e")
    bare_times+=("$b")
    ratios+=("$(awk "BEGIN {printf \"%.3f\", $e / $b}")")
done
editor_ms=$(printf '%s\n' "${editor_times[@]}" | median)
bare_ms=$(printf '%s\n' "${bare_times[@]}" | median)
ratio=$(awk "BEGIN {printf \"%.2f\", $editor_ms / $bare_ms}")
spread=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.2f-%.2f", a[1], a[NR]}')
editor_kb=$(resident_kb "$editor" "Kelmaro Brantoq")
bare_kb=$(resident_kb "$bare" "bare window")
met=$(awk "BEGIN {print ($ratio <= 1.2 && ($editor_kb - $bare_kb) <= 25 * 1024) ? 1 : 0}")
echo "launch to mapped window: editor ${editor_ms} ms, bare window ${bare_ms} ms," \
     "ratio ${ratio} (per pair ${spread}; target <= 1.2)"
echo "resident size: editor $((editor_kb / 1024)) MB, bare window $((bare_kb / 1024)) MB," \
     "difference $(((editor_kb - bare_kb) / 1024)) MB (target <= 25 MB)"
echo "target_met=${met}"
