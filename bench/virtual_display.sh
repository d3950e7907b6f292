# Sourced by the launch and drag benchmarks: starts Xvfb with openbox on display $1 and
# stops both when the script exits.
start_virtual_display() {
    Xvfb "$1" -screen 0 1920x1080x24 >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
    export DISPLAY=$1
    sleep 1
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
}
