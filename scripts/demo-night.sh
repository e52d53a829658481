#!/usr/bin/env bash
# A demo night in about a minute: the demo profile's looped room recording at 600 times real speed gives
# ten hours of the monitor's night, with a session, alarms, calls that end in different ways (the far
# end hangs up, the line is busy, nobody answers) and a microphone that fails late in the night. Then
# lullwatch-night draws the night and prints its summary.
#
#   scripts/demo-night.sh [build-dir] [picture.png]      (defaults: build, docs/night.png)
set -euo pipefail

build=${1:-build}
png=${2:-docs/night.png}
here=$(cd "$(dirname "$0")/.." && pwd)
program=$build/app/lullwatch
night=$build/tools/night/lullwatch-night
for binary in "$program" "$night"; do
    [[ -x $binary ]] || { echo "demo-night.sh: $binary is not built" >&2; exit 1; }
done

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p "$data/Lullwatch"
printf '5551234' > "$data/Lullwatch/phonenumber.txt"
printf '\004' > "$data/Lullwatch/sound.txt" # alarm step 4

# Device seconds pass 600 times as fast as real ones: 6 real seconds are an hour of the night.
{
    sleep 1
    echo "click foreground id=1000"                       # Run: the session starts, armed 31 s later
    sleep 12; echo "line script busy"                      # about 2 h in
    sleep 5;  echo "line script no-answer 40"
    sleep 5;  echo "line script answer-then-hangup 90"
    sleep 27; echo "sound fail device MMSYSERR_ERROR always" # the microphone fails late in the night
    sleep 2;  echo "sound fail clear"
    sleep 7;  echo "click foreground id=1000"             # Stop, in the morning
    sleep 1;  echo "quit"
} | "$program" --profile "$here/profiles/demo.ini" --set device.clock_factor=600 \
    --set device.data_root="$data" --set screen.frontend=headless --set automation.channel=stdio \
    > "$data/replies" 2> "$data/stderr" || { cat "$data/stderr" >&2; exit 1; }

"$night" --data "$data/Lullwatch" --png "$png" --width 1200
"$night" --data "$data/Lullwatch"
echo "database: $(du -b "$data/Lullwatch/night.sqlite" | cut -f1) bytes, $(sqlite3 "$data/Lullwatch/night.sqlite" \
    'SELECT COUNT(*) FROM levels') level rows, $(sqlite3 "$data/Lullwatch/night.sqlite" 'SELECT COUNT(*) FROM events') events" 2>/dev/null || true
