#!/usr/bin/env bash
# Runs the test suite of one build folder. Sanitizer reports fail the run.
set -euo pipefail
build_dir=$1
shift
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}:suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/tsan.supp"
exec ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 300 "$@"
