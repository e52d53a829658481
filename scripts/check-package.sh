#!/usr/bin/env bash
# Builds the Debian package in a build folder and checks it as a user would meet it: its file list,
# the installed program started from an unpacked copy (headless, on the demo profile, through the
# automation channel), and the desktop entry, AppStream metainfo, user service and man page through
# their own validators; lintian when it is installed (no errors allowed; warnings are listed).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build/release}

cmake --build "$build_dir" --target package >/dev/null
deb=$(ls "$build_dir"/lullwatch_*.deb)
echo "package: $deb"

# The unpacked copy goes outside the build folder: a program inside a build folder takes the source
# tree's profiles instead of its own installed ones.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
    echo "check-package: $*" >&2
    exit 1
}

# Every listed file, and nothing else but more profiles.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort >"$root/files"
missing=$(LC_ALL=C comm -23 packaging/package-files.txt "$root/files")
extra=$(LC_ALL=C comm -13 packaging/package-files.txt "$root/files" | grep -Ev '^usr/share/lullwatch/profiles/' || true)
[ -z "$missing" ] || fail "missing from the package: $missing"
[ -z "$extra" ] || fail "not expected in the package: $extra"
dpkg-deb -f "$deb" Depends | grep -q 'fonts-dejavu-core' || fail "the package does not depend on fonts-dejavu-core"
# The modules' libraries too: the program itself links none of SDL2, libre or libsndfile.
for lib in libsdl2 libre libsndfile; do
    dpkg-deb -f "$deb" Depends | grep -q "$lib" || fail "the package does not depend on $lib (shared-library dependencies)"
done

mkdir "$root/tree"
dpkg -x "$deb" "$root/tree"
grep -rlF "$PWD" "$root/tree" && fail "installed files refer to the source tree $PWD"

# The installed program: main window up, a picture of the screen, quit, exit code 0.
export XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
replies=$(printf 'wait 20000 window Lullwatch\nsnapshot %s\nquit\n' "$root/screen.png" |
    timeout 60 "$root/tree/usr/bin/lullwatch" --profile demo --set screen.frontend=headless \
        --set automation.channel=stdio --set device.data_root=temporary 2>"$root/stderr") ||
    fail "the installed program ended with code $?: $(cat "$root/stderr")"
[ "$(grep -c '^ok' <<<"$replies")" = 3 ] || fail "the installed program answered: $replies"
grep -q "profile $root/tree/usr/share/lullwatch/profiles/demo.ini" "$root/stderr" ||
    fail "the installed program did not take its installed demo profile: $(cat "$root/stderr")"
[ -s "$root/screen.png" ] || fail "no picture of the installed program's screen"
"$root/tree/usr/bin/lullwatch" --version | grep -qx 'lullwatch [0-9.]*' || fail "--version"

share="$root/tree/usr/share"
desktop-file-validate "$share"/applications/*.desktop
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml >/dev/null
for page in "$share"/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $(basename "$page"): $warnings"
done
# The unit names /usr/bin/lullwatch and man:lullwatch(1): verify it against the unpacked copy.
sed "s|/usr/bin/lullwatch|$root/tree/usr/bin/lullwatch|" "$root/tree/usr/lib/systemd/user/lullwatch.service" \
    >"$root/lullwatch.service"
MANPATH="$share/man" systemd-analyze --user verify "$root/lullwatch.service"

if command -v lintian >/dev/null; then
    report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
    [ -z "$report" ] || echo "$report"
    ! grep -q '^E:' <<<"$report" || fail "lintian reports errors"
else
    echo "lintian is not installed: skipped"
fi
echo "package checked"
