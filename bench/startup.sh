#!/usr/bin/env bash
# Launch time (start to a mapped window) and resident memory of the editor against a bare
# maximised Qt Widgets window, on a virtual display with a window manager.
# Usage: bench/startup.sh [runs]   (after: cmake --build --preset release)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
editor=build/release/dimeditor
bare=build/release/bench/bare_window
for f in "$editor" "$bare"; do
    [ -x "$f" ] || { echo "missing $f: cmake --build --preset release" >&2; exit 1; }
done

display=:97
Xvfb "$display" -screen 0 1920x1080x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

wait_window() {
    until xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; do sleep 0.005; done
}

# Milliseconds from start to the window being mapped, median of the runs; then the resident
# size two seconds after the window appeared.
measure() {
    local program=$1 title=$2 times=() pid
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$program" >/dev/null 2>&1 &
        pid=$!
        wait_window "$title"
        end=$(date +%s%N)
        times+=($(((end - start) / 1000000)))
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    done
    "$program" >/dev/null 2>&1 &
    pid=$!
    wait_window "$title"
    sleep 2
    local rss
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    local median
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}')
    echo "$median $rss"
}

read -r editor_ms editor_kb < <(measure "$editor" "Kelmaro Brantoq")
read -r bare_ms bare_kb < <(measure "$bare" "bare window")
echo "launch to mapped window: editor ${editor_ms} ms, bare window ${bare_ms} ms," \
     "ratio $(awk "BEGIN {printf \"%.2f\", $editor_ms / $bare_ms}") (target <= 1.2)"
echo "resident size: editor $((editor_kb / 1024)) MB, bare window $((bare_kb / 1024)) MB," \
     "difference $(((editor_kb - bare_kb) / 1024)) MB (target <= 25 MB)"
