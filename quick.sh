#!/usr/bin/env bash
# Lullwatch quick start.
#   ./quick.sh run  [PROFILE]                       build, then run the monitor (default profile: demo)
#   ./quick.sh test [--sanitize address|thread] [ctest arguments...]   build, then run every test
#   ./quick.sh package                              build the Debian package (build/release/lullwatch_*.deb)
set -euo pipefail
cd "$(dirname "$0")"

cmd=${1:-}
shift || true
sanitize=""
if [ "$cmd" = test ] && [ "${1:-}" = --sanitize ]; then
    sanitize=$2
    shift 2
fi

scripts/deps.sh

build_dir=build/release
[ -n "$sanitize" ] && build_dir=build/$sanitize
jobs=$(nproc)

configure_and_build() {
    local target=${1:-all}
    local extra=()
    if [ -n "$sanitize" ]; then
        # Sanitizer builds: light optimisation and line tables only, to keep three builds quick on 2 cores.
        extra+=(-DLULLWATCH_SANITIZE="$sanitize" -DLULLWATCH_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
            "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" "-DCMAKE_C_FLAGS_DEBUG=-O1 -g1")
    fi
    cmake -S . -B "$build_dir" "${extra[@]}" >/dev/null
    cmake --build "$build_dir" -j "$jobs" --target "$target"
}

case "$cmd" in
run)
    configure_and_build lullwatch
    exec scripts/run-monitor.sh "$build_dir" "${1:-demo}"
    ;;
test)
    configure_and_build
    exec scripts/run-tests.sh "$build_dir" "$@"
    ;;
package)
    configure_and_build package
    ;;
*)
    sed -n '2,5p' "$0" >&2
    exit 2
    ;;
esac
