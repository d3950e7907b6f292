#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite headless, once with
# warnings as errors and once under AddressSanitizer + UndefinedBehaviorSanitizer; then fuzzes
# the curve file and text readers briefly (FUZZ_SECONDS in all, 20 by default; 0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
passed=0
for preset in default asan; do
    echo "=== $preset ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    log="build/$preset/ctest.log"
    ctest --preset "$preset" -j"$jobs" | tee "$log"
    passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")))
done
if [ "${FUZZ_SECONDS:-20}" != 0 ]; then
    echo "=== fuzz ==="
    FUZZ_SECONDS="${FUZZ_SECONDS:-20}" scripts/fuzz.sh
fi
echo "tests: $passed passed, 0 failed"
