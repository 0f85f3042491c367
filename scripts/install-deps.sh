#!/bin/sh
# Installs the Debian 12 packages Quorvex builds, runs and tests with. Idempotent: packages
# already present are left alone, and apt is only consulted when something is missing.
# --test adds what only the tests need: a private X server, input from outside and a small
# window manager for the real-window cases, and matplotlib for the playtest report's charts.
# --web adds the browser build's tools (scripts/web.sh): emscripten, the node module its
# optimiser imports, and dpkg-dev, with which `apt-get source` unpacks; --web-test adds Chromium,
# in which the browser build's tests play.
set -eu
pkgs="build-essential cmake pkg-config git libsdl2-dev libsdl2-mixer-dev libpng-dev
libjpeg62-turbo-dev zlib1g-dev libexpected-dev libcairo2-dev libfreetype-dev fonts-dejavu-core
libgtest-dev libgmock-dev googletest libbenchmark-dev clang libclang-rt-14-dev appstream"
web="emscripten node-acorn nodejs make dpkg-dev xz-utils ca-certificates"
case "${1:-}" in
  --test) pkgs="$pkgs xvfb xdotool evilwm python3-matplotlib" ;;
  --web) pkgs="$pkgs $web" ;;
  --web-test) pkgs="$pkgs $web chromium" ;;
esac
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
