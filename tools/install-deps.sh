#!/bin/sh
# Installs every Debian 12 package Gearloft needs to build, run and test.
# Packages already present are skipped, so running it again is cheap.
set -eu

PACKAGES="cmake g++ make pkg-config git
libsdl1.2-dev libx11-dev libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-gfx1.2-dev libguichan-dev
liblua5.1-0-dev libgtest-dev libgif-dev fonts-dejavu-core
xvfb xauth xdotool imagemagick python3 clang libclang-rt-14-dev"

# One question to dpkg for all of them: asked one by one, a start of the game
# on a busy machine waited seconds for the answers.
# shellcheck disable=SC2086
installed=" $(dpkg-query -W -f='${Package} ${Status}\n' $PACKAGES 2>/dev/null | awk '/ ok installed$/ {print $1}' |
    tr '\n' ' ') "
missing=""
for p in $PACKAGES; do
    case "$installed" in
    *" $p "*) ;;
    *) missing="$missing $p" ;;
    esac
done

if [ -z "$missing" ]; then
    exit 0
fi

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
