#!/usr/bin/env bash
# The whole monitor's CPU time with and without its night's record.
#
# Runs the program headless at real speed on the test profile with a noisy generator for a microphone and
# a running session, and measures the CPU time of all its threads over SECONDS seconds after the start: once with the
# record ([record] enabled = yes) and once without (enabled = no), interleaved for ROUNDS rounds (3).
# Prints each run's CPU time, the median of each side, the extra per cent, and the size of the record's
# database at the end. It asserts nothing.
#
#   bench/record/record-cpu.sh [build-dir] [seconds]      (defaults: build, 60)
set -euo pipefail

build=${1:-build}
seconds=${2:-60}
rounds=${ROUNDS:-3}
here=$(cd "$(dirname "$0")" && pwd)
program=$build/app/lullwatch
profile=$here/../../profiles/test.ini
[[ -x $program ]] || { echo "record-cpu.sh: $program is not built" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One run: prints the CPU seconds of the process's threads over the measured stretch (from the kernel's
# per-thread run times, in nanoseconds).
run() {
    local enabled=$1
    local data=$tmp/data-$enabled-$2 fifo=$tmp/in-$enabled-$2
    mkdir -p "$data/Lullwatch"
    printf '5551234' > "$data/Lullwatch/phonenumber.txt"
    printf '\005' > "$data/Lullwatch/sound.txt" # step 5: the noise never calls
    mkfifo "$fifo"
    "$program" --profile "$profile" --set device.clock_factor=1 --set device.data_root="$data" \
        --set sound.generator="noise 30" --set record.enabled="$enabled" < "$fifo" > /dev/null 2> "$tmp/stderr" &
    local pid=$!
    exec 3> "$fifo"
    sleep 1
    echo "click foreground id=1000" >&3 # Run: a session, as at night
    sleep 3                             # past the start: the database is open, the session counting down
    local before after
    before=$(cat /proc/$pid/task/*/schedstat | awk '{ s += $1 } END { print s }')
    sleep "$seconds"
    after=$(cat /proc/$pid/task/*/schedstat | awk '{ s += $1 } END { print s }')
    echo quit >&3
    exec 3>&-
    wait "$pid" || { cat "$tmp/stderr" >&2; exit 1; }
    awk -v a="$after" -v b="$before" 'BEGIN { printf "%.3f\n", (a - b) / 1e9 }'
    if [[ $enabled == yes ]]; then
        du -b "$data/Lullwatch/night.sqlite" | cut -f1 > "$tmp/size"
    fi
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

with=() without=()
for round in $(seq "$rounds"); do
    with+=("$(run yes "$round")")
    without+=("$(run no "$round")")
    echo "round $round: with the record ${with[-1]} s, without ${without[-1]} s"
done
w=$(printf '%s\n' "${with[@]}" | median)
wo=$(printf '%s\n' "${without[@]}" | median)
echo "median CPU over $seconds s: with the record $w s, without $wo s"
awk -v w="$w" -v wo="$wo" 'BEGIN { if (wo > 0) printf "the record adds %.1f%%\n", (w - wo) * 100 / wo }'
echo "database after $seconds s: $(cat "$tmp/size") bytes"
