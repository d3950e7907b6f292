#!/usr/bin/env bash
# Makes every file call of two dimtool runs fail, one occurrence at a time, from outside
# (strace's fault injection), and checks what each run leaves:
#   import day.csv -o P3.DIM --sel   over an existing P3.DIM and SEL.DAT
#   check P3.DIM
# Each occurrence of each call the run makes while it works on its files (openat, read,
# write, fsync, close, rename, fchmod, fchown, ftruncate, getdents64, unlink, ...) fails once
# with EIO, ENOSPC, EDQUOT and EINTR, and once the process is killed (SIGKILL) at it. After
# each run: the exit status is one the command documents (EINTR must not fail it at all); a
# failure says why on standard error and a success says nothing there; P3.DIM is byte for
# byte the old file or the new one, SEL.DAT the old or the new, both with their old mode; no
# temporary file is left (a killed run may leave its own, which the next save removes).
# DIMTOOL names the program (default build/default/cli/dimtool); JOBS the runs at once.
set -euo pipefail
cd "$(dirname "$0")/.."

dimtool="$(realpath "${DIMTOOL:-build/default/cli/dimtool}")"
parallel="${JOBS:-$(nproc)}"
calls=openat,read,write,fsync,close,rename,fchmod,fchown,ftruncate,getdents64,unlink,unlinkat,newfstatat,readlink
faults=(error=EIO error=ENOSPC error=EDQUOT error=EINTR signal=KILL)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# The files before: an old curve file and SEL.DAT, and the CSV of another day.
seed="$work/seed"
mkdir "$seed"
"$dimtool" daylight -o "$seed/P3.DIM" --channel 2 --start 07:00 --end 19:00 --ramp 30 --peak 80
"$dimtool" daylight -o "$seed/new.DIM" --channel 1 --start 06:00 --end 18:00 --ramp 60 --peak 100
"$dimtool" export "$seed/new.DIM" --format csv >"$seed/day.csv"
rm "$seed/new.DIM"
printf '\x07\x01\x02\x03\x09\x09' >"$seed/SEL.DAT"
chmod 0640 "$seed/P3.DIM"
chmod 0604 "$seed/SEL.DAT"

# What a run without faults writes.
expected="$work/expected"
cp -a "$seed" "$expected"
(cd "$expected" && "$dimtool" import day.csv -o P3.DIM --sel)
newDim="$(od -An -v -tx1 "$expected/P3.DIM" | tr -d ' \n')"
oldDim="$(od -An -v -tx1 "$seed/P3.DIM" | tr -d ' \n')"
oldSel="$(od -An -v -tx1 "$seed/SEL.DAT" | tr -d ' \n')"
[[ "$newDim" != "$oldDim" ]] || { echo "the new curve file equals the old one" >&2; exit 1; }

hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }

# The occurrences, counted per call, of the calls a run makes from the first touch of its
# folder to the last: "call number" lines.
occurrences() {
    local name="$1"
    shift
    local dir="$work/trace-$name"
    cp -a "$seed" "$dir"
    (cd "$dir" && strace -qq -o "$dir.trace" -e trace="$calls" "$dimtool" "$@" >/dev/null)
    awk -v dir="$dir" '
        { sub(/^[0-9]+ +/, "") }
        match($0, /^[a-z0-9_]+\(/) {
            call = substr($0, 1, RLENGTH - 1)
            n[call]++
            line[NR] = call " " n[call]
            # The messages to standard output and error are no file calls of the run.
            if ($0 ~ /^write\([12],/) {
                delete line[NR]
                next
            }
            if (index($0, dir) || index($0, "\"day.csv\"") || index($0, "\"P3.DIM\"")) {
                if (!first) first = NR
                last = NR
            }
        }
        END {
            # The descriptor calls that follow the last named one (closing, syncing) belong to
            # the run too: take the calls up to the next named path outside the folder.
            for (i = first; i <= NR; i++) {
                if (!(i in line)) continue
                if (i > last && line[i] ~ /^openat /) break
                print line[i]
            }
        }' "$dir.trace"
}

# One run with one fault; prints a line for each fault it finds.
run() {
    local scenario="$1" call="$2" nth="$3" fault="$4"
    local dir="$work/run-$scenario-$call-$nth-${fault#*=}"
    cp -a "$seed" "$dir"
    local status=0
    { (
        cd "$dir"
        if [[ "$scenario" == import ]]; then
            exec strace -qq -o "$dir.trace" -e trace="$call,fsync" \
                -e inject="$call:$fault:when=$nth" "$dimtool" import day.csv -o P3.DIM --sel
        else
            exec strace -qq -o /dev/null -e trace="$call" -e inject="$call:$fault:when=$nth" \
                "$dimtool" check P3.DIM
        fi
    ) >"$dir.out" 2>"$dir.err"; } 2>/dev/null || status=$? # no "Killed" notice from bash
    local what="$scenario: $call #$nth $fault: exit $status"
    local problems=()
    local killed=false
    [[ "$fault" == signal=KILL ]] && killed=true
    if $killed; then
        [[ $status -eq 137 || $status -eq 0 ]] || problems+=("exit status of a killed run")
    elif [[ "$fault" == error=EINTR ]]; then
        [[ $status -eq 0 ]] || problems+=("an interrupted call was not made again")
    elif [[ "$scenario" == import ]]; then
        [[ $status -eq 0 || $status -eq 74 ]] || problems+=("exit status not 0 or 74")
    else
        [[ $status -eq 0 || $status -eq 2 ]] || problems+=("exit status not 0 or 2")
    fi
    if ! $killed; then
        if [[ $status -ne 0 ]]; then
            grep -q '^dimtool: ' "$dir.err" || problems+=("no message on failure")
        else
            [[ ! -s "$dir.err" ]] || problems+=("output on standard error after success")
        fi
    fi
    local dim sel
    dim="$(hex "$dir/P3.DIM" 2>/dev/null || echo missing)"
    sel="$(hex "$dir/SEL.DAT" 2>/dev/null || echo missing)"
    local dimNew=false selNew=false
    [[ "$dim" == "$newDim" ]] && dimNew=true
    # The new SEL.DAT: selection number 3, any time of day, brightness and moon phase 0.
    [[ "$sel" =~ ^03[0-9a-f]{6}0000$ ]] && selNew=true
    if [[ "$scenario" == check ]]; then
        [[ "$dim" == "$oldDim" && "$sel" == "$oldSel" ]] || problems+=("check changed a file")
        if [[ $status -eq 0 ]] && ! $killed; then
            grep -qx ok "$dir.out" || problems+=("check succeeded without \"ok\"")
        fi
    else
        $dimNew || [[ "$dim" == "$oldDim" ]] || problems+=("P3.DIM neither old nor new ($dim)")
        $selNew || [[ "$sel" == "$oldSel" ]] || problems+=("SEL.DAT neither old nor new ($sel)")
        if $selNew && ! $dimNew; then problems+=("SEL.DAT written without P3.DIM"); fi
        if [[ $status -eq 0 ]] && ! ($dimNew && $selNew); then
            problems+=("success without both files written")
        fi
        # A success must have made both files and their folder durable, whatever failed.
        if [[ $status -eq 0 && "$(grep -c '^fsync(.*= 0$' "$dir.trace")" -lt "$syncs" ]]; then
            problems+=("success with fewer syncs than $syncs")
        fi
    fi
    [[ "$(stat -c %a "$dir/P3.DIM" 2>/dev/null)" == 640 ]] || problems+=("P3.DIM changed mode")
    [[ "$(stat -c %a "$dir/SEL.DAT" 2>/dev/null)" == 604 ]] || problems+=("SEL.DAT changed mode")
    local entry
    for entry in "$dir"/* "$dir"/.[!.]*; do
        [[ -e "$entry" ]] || continue
        case "${entry##*/}" in
        P3.DIM | SEL.DAT | day.csv) ;;
        .dimsave-*) $killed || problems+=("temporary file left: ${entry##*/}") ;;
        *) problems+=("unexpected file: ${entry##*/}") ;;
        esac
    done
    for problem in "${problems[@]}"; do
        echo "FAULT $what: $problem; stderr: $(head -c 300 "$dir.err" | tr '\n' ' ')"
    done
    rm -rf "$dir" "$dir.out" "$dir.err" "$dir.trace"
}

cases="$work/cases"
: >"$cases"
occurrences import import day.csv -o P3.DIM --sel | sed 's/^/import /' >>"$cases"
occurrences check check P3.DIM | sed 's/^/check /' >>"$cases"
syncs="$(grep -c '^fsync(.*= 0$' "$work/trace-import.trace")"
runs=0
report="$work/report"
: >"$report"
start=$SECONDS
while read -r scenario call nth; do
    for fault in "${faults[@]}"; do
        while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
        run "$scenario" "$call" "$nth" "$fault" >>"$report" &
        runs=$((runs + 1))
    done
done <"$cases"
wait
echo "fault injection: $runs runs over $(wc -l <"$cases") call occurrences" \
    "(import: $(grep -c '^import' "$cases"), check: $(grep -c '^check' "$cases"))" \
    "in $((SECONDS - start)) s"
if [[ -s "$report" ]]; then
    cat "$report" >&2
    echo "fault injection: $(wc -l <"$report") faults found" >&2
    exit 1
fi
