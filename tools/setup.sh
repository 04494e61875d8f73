#!/bin/sh
# Installs, with Debian's packages only, whatever the build and the program
# need and this machine lacks.
set -eu
packages="g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev libcups2-dev fonts-noto-cjk qt6-translations-l10n poppler-utils e2fsprogs exfatprogs exfat-fuse mount xvfb libsm-dev libice-dev openbox x11-utils xdotool"
missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends $missing
fi
