#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, "fuzz" preset) and runs each on a copy of its seed
# corpus in tests/fuzz/corpus/TARGET, so that the corpora in the repository do not grow.
# FUZZ_SECONDS (30 by default) is the time for all of them together, shared out equally;
# FUZZ_TARGETS (space-separated) runs only those. Every target runs even when one fails;
# exits non-zero when any of them finds a fault, with the inputs kept in
# build/fuzz/crashes/TARGET/. Each target is one tests/fuzz/TARGET.cpp with a seed folder
# tests/fuzz/corpus/TARGET/, listed here and in tests/fuzz/CMakeLists.txt.
# Set FUZZ_BUILD_LOCK to a lock file to serialise the build with other builds.
set -euo pipefail
cd "$(dirname "$0")/.."

all=(
    dimfile_fuzz     # the curve-file reader
    curvetext_fuzz   # CSV, JSON and the clipboard line
    pathcodec_fuzz   # file names as bytes and back
    selection_fuzz   # SEL.DAT's selection number of a name
    commandline_fuzz # the editor's command line
    drop_fuzz        # the editor's drop decision
    dimtool_fuzz     # dimtool's whole command line over files in memory
)
read -r -a targets <<<"${FUZZ_TARGETS:-${all[*]}}"
total="${FUZZ_SECONDS:-30}"
# libFuzzer reads a time of 0 as no limit: every target gets at least a second.
each=$((total / ${#targets[@]}))
((each >= 1)) || each=1

build=(cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]}")
cmake --preset fuzz >/dev/null
if [[ -n "${FUZZ_BUILD_LOCK:-}" ]]; then
    flock "$FUZZ_BUILD_LOCK" "${build[@]}"
else
    "${build[@]}"
fi

# Third-party leak reports that are not ours (see the file).
export LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failed=()
for target in "${targets[@]}"; do
    cp -r "tests/fuzz/corpus/$target" "$work/$target"
    mkdir -p "$work/$target-artifacts"
    echo "=== $target: ${each} s ==="
    status=0
    "build/fuzz/tests/fuzz/$target" -max_total_time="$each" -print_final_stats=1 \
        -artifact_prefix="$work/$target-artifacts/" "$work/$target" || status=$?
    if [[ $status -ne 0 ]]; then
        mkdir -p "build/fuzz/crashes/$target"
        cp "$work/$target-artifacts"/* "build/fuzz/crashes/$target/" 2>/dev/null || true
        echo "$target failed (exit $status); inputs kept in build/fuzz/crashes/$target/" >&2
        failed+=("$target")
    fi
done
if ((${#failed[@]} > 0)); then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
