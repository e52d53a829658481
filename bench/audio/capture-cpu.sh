#!/usr/bin/env bash
# The whole monitor's cost while it listens, against arecord on the same source.
#
# Starts a private PulseAudio server with one null sink "lw" (8000 Hz, unsigned 8-bit, mono), plays noise
# into it, and captures its monitor through ALSA for the same time with:
#   lullwatch (headless)   the whole program: capture, detector, live meter, automation socket, line;
#   arecord                the floor: ALSA capture to a file and nothing else;
#   lullwatch (SDL, Xvfb)  the same program with its SDL window on a private Xvfb server (when Xvfb is
#                          installed).
# The runs are interleaved, one of each per round, ROUNDS rounds (3). For each run it prints the CPU time
# of the whole process (user + system), its voluntary context switches per second and its peak resident
# memory, then the median ratios. It prints figures and asserts nothing.
#
#   bench/audio/capture-cpu.sh [build-dir] [seconds]      (defaults: build, 60)
set -euo pipefail

build=${1:-build}
seconds=${2:-60}
rounds=${ROUNDS:-3}
here=$(cd "$(dirname "$0")" && pwd)
program=$build/app/lullwatch
profile=$here/../../profiles/desktop.ini
[[ -x $program ]] || { echo "capture-cpu.sh: $program is not built" >&2; exit 1; }
for tool in pulseaudio pacat pactl arecord sox /usr/bin/time /usr/bin/python3 timeout; do
    command -v "$tool" >/dev/null || { echo "capture-cpu.sh: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
server=
player=
xvfb=
cleanup() {
    [[ -n $player ]] && kill "$player" 2>/dev/null || true
    [[ -n $server ]] && kill "$server" 2>/dev/null || true
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

# The server lives in the temporary folder and nowhere else.
mkdir -p "$tmp/run" "$tmp/home"
chmod 700 "$tmp/run"
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

display=
if command -v Xvfb > /dev/null; then
    for n in $(seq 90 120); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp 2> "$tmp/xvfb.log" &
        xvfb=$!
        display=:$n
        break
    done
    for _ in $(seq 100); do
        [[ -e /tmp/.X11-unix/X${display#:} ]] && break
        sleep 0.1
    done
fi

# Something to hear for every run: noise at about a third of full scale.
runs=$((rounds * 3))
sox -n -r 8000 -c 1 -b 8 -e unsigned-integer -t raw "$tmp/noise.raw" synth $((runs * (seconds + 5) + 30)) \
    whitenoise vol 0.3
pacat --playback --raw --format=u8 --rate=8000 --channels=1 --device=lw "$tmp/noise.raw" 2> /dev/null &
player=$!

# Runs a command for `seconds` and prints "cpu-seconds voluntary-switches-per-second peak-rss-kb" of the
# whole process. GNU time gives the voluntary context switches and the peak resident set of the command
# alone; the CPU time (user + system) is the kernel's count for GNU time and everything it waited for, to
# the microsecond (GNU time itself prints it rounded to 10 ms, a tenth of what arecord spends in a
# minute; its own share is well under a millisecond).
measure() {
    /usr/bin/python3 - "$seconds" /usr/bin/time -o "$tmp/time.txt" -f "%w %M" "$@" > "$tmp/cpu.txt" 2> /dev/null <<'PY' || true
import os, subprocess, sys
child = subprocess.Popen(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
_, _, usage = os.wait4(child.pid, 0)
print("%.4f" % (usage.ru_utime + usage.ru_stime))
PY
    tail -n 1 "$tmp/time.txt" | awk -v s="$seconds" -v cpu="$(cat "$tmp/cpu.txt")" '{ printf "%s %.1f %d", cpu, $1 / s, $2 }'
}

# The monitor with the front-end given, ended with SIGTERM after `seconds`.
monitor=(--profile "$profile" --set sound.alsa_device=pulse:lw.monitor --set sound.volume=memory
    --set device.data_root=temporary --set screen.frontend)

printf "%-24s %10s %12s %12s\n" run "CPU s" "vol. csw/s" "peak RSS MB"
: > "$tmp/figures"
show() {
    local name=$1 figures=$2
    echo "$name $figures" >> "$tmp/figures"
    awk -v n="$name" '{ printf "%-24s %10.3f %12.1f %12.1f\n", n, $1, $2, $3 / 1024 }' <<< "$figures"
}
for round in $(seq "$rounds"); do
    show "headless.$round" "$(measure timeout -s TERM "$seconds" "$program" "${monitor[@]}"=headless)"
    show "arecord.$round" "$(measure arecord -q -D pulse:lw.monitor -f U8 -r 8000 -c 1 -d "$seconds" "$tmp/a.wav")"
    if [[ -n $display ]]; then
        show "sdl.$round" "$(measure env DISPLAY="$display" timeout -s TERM "$seconds" "$program" "${monitor[@]}"=sdl)"
    fi
done

# Medians over the rounds, and the ratios of the medians.
awk '
    { split($1, k, "."); cpu[k[1]] = cpu[k[1]] " " $2; csw[k[1]] = csw[k[1]] " " $3; rss[k[1]] = rss[k[1]] " " $4 }
    function median(list,   v, n, i, j, t) {
        n = split(list, v, " ")
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    END {
        printf "\nmedians over the rounds      CPU s   vol. csw/s  peak RSS MB\n"
        for (r in cpu) printf "%-24s %10.3f %12.1f %12.1f\n", r, median(cpu[r]), median(csw[r]), median(rss[r]) / 1024
        if (median(cpu["arecord"]) > 0)
            printf "\nCPU headless / arecord      %.2f (goal at most 1.2)\n", median(cpu["headless"]) / median(cpu["arecord"])
        if (("sdl" in cpu) && median(cpu["headless"]) > 0)
            printf "CPU SDL / headless          %.2f (goal at most 1.3)\n", median(cpu["sdl"]) / median(cpu["headless"])
    }' "$tmp/figures"
