#!/usr/bin/env bash
# check-modules.sh PROGRAM MODULE...: the program links none of the modules' large libraries, and every
# symbol a module takes from outside itself is there once it is loaded into the program: in the program's
# exported symbols or in a library the module or the program needs. A module that misses a platform
# symbol would fail to load only when a profile first asks for it.
set -euo pipefail
program=$1
shift
fail() {
    echo "check-modules: $*" >&2
    exit 1
}

heavy=$(objdump -p "$program" | awk '$1 == "NEEDED" {print $2}' | grep -E '^lib(SDL2|re|rem|sndfile|samplerate)[.-]' || true)
[ -z "$heavy" ] || fail "$(basename "$program") links $heavy"

# Defined dynamic symbols of an ELF file and of the libraries it needs, versions stripped.
defined() {
    local libs
    libs=$(ldd "$1" | awk '$2 == "=>" && $3 ~ /^\// {print $3} $1 ~ /^\// {print $1}')
    nm -D --defined-only "$1" $libs 2>/dev/null | awk 'NF == 3 {sub(/@.*/, "", $3); print $3}'
}

program_symbols=$(mktemp)
trap 'rm -f "$program_symbols"' EXIT
defined "$program" | LC_ALL=C sort -u >"$program_symbols"
for module in "$@"; do
    missing=$(nm -D --undefined-only "$module" | awk '$1 == "U" {sub(/@.*/, "", $2); print $2}' |
        LC_ALL=C sort -u | LC_ALL=C comm -23 - "$program_symbols" |
        LC_ALL=C comm -23 - <(defined "$module" | LC_ALL=C sort -u))
    [ -z "$missing" ] || fail "$(basename "$module") needs symbols $(basename "$program") does not have:
$(c++filt <<<"$missing" | head -20)"
    echo "$(basename "$module"): every symbol resolves"
done
