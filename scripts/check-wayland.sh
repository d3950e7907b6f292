#!/usr/bin/env bash
# Runs the editor on a Wayland desktop with no X server: weston without a screen (its headless
# backend) and a session that says it is Wayland, and checks from the protocol the editor
# speaks that it came up as a native Wayland client: application id `dimeditor`, maximised,
# and drawn at the size the compositor gave it; then that it is still running.
#   scripts/check-wayland.sh [EDITOR]   (default: build/default/dimeditor)
set -euo pipefail
cd "$(dirname "$0")/.."
editor="${1:-build/default/dimeditor}"
for tool in weston "$editor"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/packages.sh, a build)"; exit 2; }
done

runtime="$(mktemp -d)" # the session's XDG_RUNTIME_DIR: the compositor's socket and the logs
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-dimcheck XDG_SESSION_TYPE=wayland
export XDG_STATE_HOME="$runtime" # no curves recovered from an earlier run
unset DISPLAY QT_QPA_PLATFORM

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1920 --height=1080 \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$runtime/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { cat "$runtime/weston.log"; echo "weston did not start"; exit 1; }

# The client's side of the protocol, as the Wayland library logs it.
WAYLAND_DEBUG=client "$editor" 2>"$runtime/client.log" &
editor_pid=$!
pids+=("$editor_pid")
log="$runtime/client.log"

# The compositor's last size for the window and the client's picture of that size.
configured() { sed -n 's/.*xdg_toplevel@[0-9]*\.configure(\([1-9][0-9]*\), \([1-9][0-9]*\),.*/\1 \2/p' "$log" | tail -1; }
drawn() { grep -c "create_buffer(new id wl_buffer@[0-9]*, [0-9]*, $1, $2," "$log" || true; }
for _ in $(seq 200); do
    size="$(configured)"
    # shellcheck disable=SC2086
    [ -n "$size" ] && [ "$(drawn $size)" -gt 0 ] && grep -q 'wl_surface@[0-9]*\.commit()' "$log" && break
    kill -0 "$editor_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1 # it goes on running after its first picture

failed=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; failed=$((failed + 1)); fi; }
check "a Wayland client, no X server needed" "grep -q 'xdg_wm_base@[0-9]*\.get_xdg_surface' '$log'"
check "application id dimeditor" "grep -q 'xdg_toplevel@[0-9]*\.set_app_id(\"dimeditor\")' '$log'"
check "asks to be maximised" "grep -q 'xdg_toplevel@[0-9]*\.set_maximized()' '$log'"
# Maximised: the output's width and its height, less the panel's once the shell shows one.
check "given the output's size: ${size:-none}" \
    "[ -n '${size:-}' ] && [ '${size%% *}' = 1920 ] && [ '${size##* }' -le 1080 ] && [ '${size##* }' -gt 1000 ]"
# shellcheck disable=SC2086
check "draws its window at that size" "[ -n '${size:-}' ] && [ \"\$(drawn $size)\" -gt 0 ]"
check "still running" "kill -0 $editor_pid 2>/dev/null"
if [ "$failed" -ne 0 ]; then
    echo "--- the editor's log (last lines)"
    grep -v '^\[' "$log" | tail -20 || true
    exit 1
fi
echo "The editor runs as a native Wayland client under weston."
