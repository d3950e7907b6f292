#!/usr/bin/env bash
# Builds the libFuzzer target for the curve-file reader (clang, "fuzz" preset) and runs it
# for FUZZ_SECONDS (30 by default) on a copy of the seed corpus, so that the corpus in the
# repository does not grow. Exits non-zero when the fuzzer finds a crash.
# Set FUZZ_BUILD_LOCK to a lock file to serialise the build with other builds.
set -euo pipefail
cd "$(dirname "$0")/.."

build=(cmake --build --preset fuzz -j"$(nproc)" --target dimfile_fuzz)
cmake --preset fuzz >/dev/null
if [[ -n "${FUZZ_BUILD_LOCK:-}" ]]; then
    flock "$FUZZ_BUILD_LOCK" "${build[@]}"
else
    "${build[@]}"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r tests/fuzz/corpus "$work/corpus"
mkdir -p "$work/artifacts"

status=0
build/fuzz/tests/fuzz/dimfile_fuzz -max_total_time="${FUZZ_SECONDS:-30}" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" || status=$?

if [[ $status -ne 0 ]]; then
    mkdir -p build/fuzz/crashes
    cp "$work"/artifacts/* build/fuzz/crashes/ 2>/dev/null || true
    echo "dimfile_fuzz failed (exit $status); inputs kept in build/fuzz/crashes/" >&2
fi
exit "$status"
