#!/bin/sh
# The simulated night: 8 device-hours of the real monitor at a clock 1000 times faster than real time
# (about 30 s), a loud burst every 10 device-minutes, every call answered and hung up by the simulated far
# end. Prints per device-hour the calls placed and ended, the captures resumed, and the process's resident
# memory, descriptors and threads.
#
#   bench/night/night.sh [build folder [hours [clock factor [section.key=value ...]]]]
#   (default build/release, 8, 1000)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build/release}
hours=${2:-8}
factor=${3:-1000}
[ $# -gt 3 ] && shift 3 || set --
cmake --build "$build" --target lullwatch lullwatch_night >/dev/null
exec "$build/bench/night/lullwatch_night" "$build/app/lullwatch" "$root/profiles/test.ini" "$hours" "$factor" "$@"
