#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it. Without a desktop it starts a
# virtual one (Xvfb with openbox) on display :99.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target dimeditor
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export DISPLAY=:99
    if ! xdpyinfo >/dev/null 2>&1; then
        Xvfb :99 -screen 0 1920x1080x24 >/dev/null 2>&1 &
        sleep 1
        openbox >/dev/null 2>&1 &
        sleep 1
    fi
    echo "No desktop found: running on the virtual display :99."
    echo "Look at it with: DISPLAY=:99 import -window root shot.png"
fi
exec build/default/dimeditor
