#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite headless, once with
# warnings as errors and once under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
for preset in default asan; do
    echo "=== $preset ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    ctest --preset "$preset" -j"$jobs"
done
