#!/usr/bin/env bash
# Installs the Debian packages Lullwatch needs to build, run and test, when any is missing.
# As root it runs apt-get; otherwise it prints the exact apt-get line and stops.
set -euo pipefail

PACKAGES=(
    build-essential cmake pkg-config clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev libfreetype-dev fonts-dejavu-core libpng-dev
    libasound2-dev libasound2-plugins alsa-utils libsndfile1-dev libsamplerate0-dev
    libre-dev librem-dev libinih-dev
    pulseaudio xvfb xauth baresip-core sip-tester sox
    libsystemd-dev dbus-daemon python3-dbusmock python3-gi modemmanager-dev
    libsqlite3-dev libcairo2-dev
    dpkg-dev file desktop-file-utils appstream systemd man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Lullwatch needs these Debian packages. Run as root:" >&2
    echo "  apt-get update && $line" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends "${missing[@]}"
