#!/usr/bin/env bash
# Launch time (start to a mapped window) and resident memory of the editor against a bare
# maximised Qt Widgets window, on a virtual display with a window manager. The two programs
# are launched in turn, so that load from elsewhere falls on both alike. The moment a window
# becomes viewable is taken from the X server's own events (bench/map_probe), not by polling.
# Usage: bench/startup.sh [runs]   (after: cmake --build --preset release)
# DIM_BENCH_DISPLAY picks the virtual display (default :97).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
editor=build/release/dimeditor
bare=build/release/bench/bare_window
probe=build/release/bench/map_probe
for f in "$editor" "$bare" "$probe"; do
    [ -x "$f" ] || { echo "missing $f: cmake --build --preset release" >&2; exit 1; }
done

source bench/virtual_display.sh
start_virtual_display "${DIM_BENCH_DISPLAY:-:97}"

# Milliseconds from start to the window being viewable.
launch_ms() {
    "$probe" "$2" "$1" 2>/dev/null
}

# The resident size in kB two seconds after the window appeared.
resident_kb() {
    "$probe" "$2" --rss-after 2 "$1" 2>/dev/null | tail -n 1
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
editor_rss=() bare_rss=()
for _ in $(seq $((runs < 5 ? runs : 5))); do
    editor_rss+=("$(resident_kb "$editor" "Kelmaro Brantoq")")
    bare_rss+=("$(resident_kb "$bare" "bare window")")
done
editor_kb=$(printf '%s\n' "${editor_rss[@]}" | median)
bare_kb=$(printf '%s\n' "${bare_rss[@]}" | median)
met=$(awk "BEGIN {print ($ratio <= 1.2 && ($editor_kb - $bare_kb) <= 25 * 1024) ? 1 : 0}")
echo "launch to mapped window: editor ${editor_ms} ms, bare window ${bare_ms} ms," \
     "ratio ${ratio} (per pair ${spread}; target <= 1.2)"
awk "BEGIN {printf \"resident size (median): editor %.1f MB, bare window %.1f MB, difference %.1f MB (target <= 25 MB)\n\", $editor_kb / 1024, $bare_kb / 1024, ($editor_kb - $bare_kb) / 1024}"
echo "target_met=${met}"
