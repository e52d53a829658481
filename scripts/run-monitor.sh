#!/usr/bin/env bash
# Runs the monitor from a build folder on a device profile (a name from profiles/ or a file path).
set -euo pipefail
build_dir=$1
profile=$2
[ -f "$profile" ] || profile=profiles/$profile.ini
binary=$build_dir/app/lullwatch
if [ ! -x "$binary" ]; then
    echo "The monitor program is not built yet in this version; the build and the tests are." >&2
    echo "Run ./quick.sh test to run what exists." >&2
    exit 0
fi
exec "$binary" --profile "$profile"
