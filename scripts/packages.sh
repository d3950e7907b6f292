#!/usr/bin/env bash
# Installs the Debian 12 packages the editor and its tests need, when any is missing.
set -euo pipefail

PACKAGES=(
    g++ make cmake pkgconf dpkg-dev file
    qt6-base-dev qt6-translations-l10n libgl-dev libjpeg-dev libjpeg-turbo-progs libfontconfig-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-liberation2 fonts-dejavu-core
    help2man appstream desktop-file-utils shared-mime-info lintian strace
    xvfb xauth openbox xdotool imagemagick x11-utils libxcb1-dev libxcb-damage0-dev
    at-spi2-core dbus-daemon python3-gi gir1.2-atspi-2.0
    weston qt6-wayland
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
