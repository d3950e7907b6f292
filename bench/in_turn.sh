# Sourced by the launch and drag benchmarks: a virtual display with a window manager, and
# the editor measured in turn with its reference program.

# The editor's state (its recovery files) goes to a folder of the benchmark's own: what the
# user's earlier editors left would put a question over the window at every start.
bench_state=$(mktemp -d)
export XDG_STATE_HOME=$bench_state
# Its cache (the sprite sheet's decoded pixels) too. DIM_BENCH_CACHE=cold keeps nothing there,
# a file standing where the folder would be: every start decodes the sheet, as the first
# start does.
export XDG_CACHE_HOME=$bench_state/cache
bench_cache=${DIM_BENCH_CACHE:-warm}
if [ "$bench_cache" = cold ]; then : >"$XDG_CACHE_HOME"; fi
trap 'rm -rf "$bench_state"' EXIT

# Stops the benchmark unless every program named was built.
require_built() {
    local f
    for f in "$@"; do
        [ -x "$f" ] || { echo "missing $f: cmake --build --preset release" >&2; exit 1; }
    done
}

# Starts Xvfb with openbox on display $1 and stops both when the script exits.
start_virtual_display() {
    Xvfb "$1" -screen 0 1920x1080x24 >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$bench_state"' EXIT
    export DISPLAY=$1
    sleep 1
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
}

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

# measure_in_turn RUNS MEASURE PROGRAM TITLE REFERENCE REFERENCE_TITLE
# Runs "MEASURE program title" (which prints one number) on the program and on the reference
# in turn, RUNS times each, so that load from elsewhere falls on both alike. Sets
# program_runs and reference_runs (the figures), program_median, reference_median, ratio
# (of the medians) and spread (the lowest and highest ratio of a pair).
measure_in_turn() {
    local runs=$1 measure=$2 program=$3 title=$4 reference=$5 reference_title=$6 p r
    local ratios=()
    program_runs=() reference_runs=()
    for _ in $(seq "$runs"); do
        p=$("$measure" "$program" "$title")
        r=$("$measure" "$reference" "$reference_title")
        program_runs+=("$p")
        reference_runs+=("$r")
        ratios+=("$(awk "BEGIN {printf \"%.3f\", $p / $r}")")
    done
    program_median=$(printf '%s\n' "${program_runs[@]}" | median)
    reference_median=$(printf '%s\n' "${reference_runs[@]}" | median)
    ratio=$(awk "BEGIN {printf \"%.2f\", $program_median / $reference_median}")
    spread=$(printf '%s\n' "${ratios[@]}" | sort -n |
        awk '{a[NR]=$1} END {printf "%.2f-%.2f", a[1], a[NR]}')
}
