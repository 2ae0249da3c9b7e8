#!/bin/sh
# Installs what building, running and testing Swatchly need on Debian 12 (as root), if missing.
set -eu
packages="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n
libgl-dev libxcb1-dev fonts-dejavu-core fonts-ipafont-gothic fonts-liberation xvfb openbox xdotool x11-utils xclip x11-xserver-utils imagemagick
clang-format appstream desktop-file-utils dpkg-dev file lintian man-db mandoc fontconfig fonts-vlgothic qt6ct dbus-daemon"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
fi
