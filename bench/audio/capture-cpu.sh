#!/usr/bin/env bash
# The capture's CPU time against arecord's on the same source.
#
# Starts a private PulseAudio server with one null sink "lw" (8000 Hz, unsigned 8-bit, mono), plays noise
# into it, and captures its monitor through ALSA for the same time: with capture_cpu (the program's
# capture, detector and a live level meter on a window thread) and with arecord. Prints the CPU time
# (user + system) of each whole process and their ratio (the target is at most 1.5). arecord runs twice:
# with its own ALSA period and with the period the wave device asks for (1000 frames; ALSA_PERIOD changes
# it), which shows how much of the difference is the device's wake-up rate.
#
#   bench/audio/capture-cpu.sh [build-dir] [seconds]      (defaults: build, 60)
set -euo pipefail

build=${1:-build}
seconds=${2:-60}
alsa_period=${ALSA_PERIOD:-1000}
bench=$build/bench/audio/capture_cpu
[[ -x $bench ]] || { echo "capture-cpu.sh: $bench is not built" >&2; exit 1; }
for tool in pulseaudio pacat pactl arecord sox; do
    command -v "$tool" >/dev/null || { echo "capture-cpu.sh: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
server=
player=
cleanup() {
    [[ -n $player ]] && kill "$player" 2>/dev/null || true
    [[ -n $server ]] && kill "$server" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

# The server lives in the temporary folder and nowhere else.
mkdir -p "$tmp/run" "$tmp/home"
echo "autospawn = no" > "$tmp/client.conf"
export XDG_RUNTIME_DIR=$tmp/run HOME=$tmp/home PULSE_RUNTIME_PATH=$tmp/run/pulse
export PULSE_SERVER=unix:$tmp/run/pulse/native PULSE_CLIENTCONFIG=$tmp/client.conf
pulseaudio --daemonize=no --system=false -n --exit-idle-time=-1 --disable-shm=yes --log-target=stderr \
    --load="module-null-sink sink_name=lw rate=8000 channels=1 format=u8 norewinds=1" \
    --load=module-native-protocol-unix 2> "$tmp/server.log" &
server=$!
for _ in $(seq 100); do
    pactl info > /dev/null 2>&1 && break
    sleep 0.1
done
pactl info > /dev/null || { echo "capture-cpu.sh: pulseaudio did not come up" >&2; cat "$tmp/server.log" >&2; exit 1; }

# Something to hear for both runs: noise at about a third of full scale.
sox -n -r 8000 -c 1 -b 8 -e unsigned-integer -t raw "$tmp/noise.raw" synth $((2 * seconds + 30)) whitenoise vol 0.3
pacat --playback --raw --format=u8 --rate=8000 --channels=1 --device=lw "$tmp/noise.raw" 2> /dev/null &
player=$!

# Runs a command (its output to the file given first) and prints the CPU time, user + system in seconds,
# that the whole process used: bash's `times` in a subshell of its own counts just that child.
cpu_of() {
    local out=$1
    shift
    (
        "$@" > "$out"
        times
    ) | awk 'NR == 2 {
        split($1, u, /[ms]/); split($2, s, /[ms]/);
        printf "%.3f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }'
}

capture=$(cpu_of "$tmp/capture.out" "$bench" --alsa pulse:lw.monitor --seconds "$seconds")
arecord=$(cpu_of /dev/null arecord -q -D pulse:lw.monitor -f U8 -r 8000 -c 1 -d "$seconds" "$tmp/arecord.wav")
same=$(cpu_of /dev/null arecord -q -D pulse:lw.monitor -f U8 -r 8000 -c 1 --period-size="$alsa_period" \
    --buffer-size=8192 -d "$seconds" "$tmp/same.wav")
buffers=$(awk '$1 == "buffers" { print $2 }' "$tmp/capture.out")
echo "seconds            $seconds"
echo "capture_cpu        ${capture} s CPU, $buffers buffers shown"
echo "arecord            ${arecord} s CPU, $(stat -c %s "$tmp/arecord.wav") bytes written"
echo "arecord, period $alsa_period ${same} s CPU"
awk -v a="$capture" -v b="$arecord" -v c="$same" 'BEGIN {
    if (b > 0) printf "ratio              %.2f (target at most 1.5)\n", a / b;
    else print "ratio              arecord used no measurable CPU";
    if (c > 0) printf "ratio, same period %.2f\n", a / c;
}'
