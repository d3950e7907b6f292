#!/usr/bin/env bash
# The editor in a real X session (Xvfb + openbox): a dialog whose window another client
# destroys (xdotool windowclose) ends as if cancelled; the chart shows the curves again and
# the editor answers clicks and closes.
# Usage: destroyed_dialog.sh EDITOR
set -euo pipefail
editor="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=xcb "$editor" >"$work/log" 2>&1 &
editor_pid=$!
pids+=("$editor_pid")

wait_for() { # WHAT SECONDS COMMAND...: retries COMMAND until it succeeds
    local what="$1" tries=$(($2 * 10))
    shift 2
    for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "FAIL: $what" >&2
    cat "$work/log" >&2
    exit 1
}
# The colours of a column of pixels, as one text.
strip() { import -window root -crop "1x12+$1+$2" txt:- | sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p' | tr '\n' ' '; }

wait_for "the editor's window" 10 xdotool search --onlyvisible --name '^Kelmaro Brantoq$'
sleep 1
# Band 1 at noon, its top rows, where a curve at its peak lies: the background before.
x=$(( (1280 - 200) / 2 )); y=16
before="$(strip "$x" "$y")"
xdotool mousemove "$x" 100 sleep 0.2 mousemove $((x + 5)) 100 sleep 0.2 click 3
sleep 0.5
xdotool key t # the daylight dialog: its curve is shown on band 1
wait_for "the daylight dialog" 10 xdotool search --onlyvisible --name '^Tageslichtkurve$'
dialog="$(xdotool search --onlyvisible --name '^Tageslichtkurve$' | head -n1)"
sleep 0.5
[[ "$(strip "$x" "$y")" != "$before" ]] || { echo "FAIL: no preview on the chart" >&2; exit 1; }

xdotool windowclose "$dialog"
preview_gone() { [[ "$(strip "$x" "$y")" == "$before" ]]; }
wait_for "the preview withdrawn" 5 preview_gone
# The editor answers: Load opens its dialog, Escape closes it.
xdotool mousemove $((1280 - 100)) 312 click 1
wait_for "the load dialog after the destroyed one" 5 xdotool search --onlyvisible --name '^Öffnen$'
xdotool key Escape
sleep 0.8
# Nothing was changed: closing ends the program at once.
xdotool search --name '^Kelmaro Brantoq$' | head -n1 | xargs -I{} xdotool windowactivate {} key alt+F4
for _ in $(seq 50); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$editor_pid" 2>/dev/null; then
    echo "FAIL: the editor did not close" >&2
    exit 1
fi
echo "ok: a destroyed dialog ends as cancelled"
